#include "TsCatalogue.h"

#include <QFile>
#include <QXmlStreamReader>

QString TsMessage::key() const
{
    return context + u'\x1F' + source + (numerus ? QStringLiteral("\x1F%n") : QString());
}

QList<TsMessage> ReadTsFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = path + QStringLiteral(": ") + file.errorString();
        return {};
    }
    QList<TsMessage> messages;
    QXmlStreamReader xml(&file);
    QString context;
    TsMessage message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            if (xml.isEndElement() && xml.name() == u"message")
                messages.append(message);
            continue;
        }
        const QStringView name = xml.name();
        if (name == u"name") {
            context = xml.readElementText();
        } else if (name == u"message") {
            message = TsMessage();
            message.context = context;
            message.numerus = xml.attributes().value(QLatin1String("numerus")) == u"yes";
        } else if (name == u"source") {
            message.source = xml.readElementText();
        } else if (name == u"translation") {
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            if (!message.numerus)
                message.translations.append(xml.readElementText());
        } else if (name == u"numerusform") {
            message.translations.append(xml.readElementText());
        }
    }
    if (xml.hasError()) {
        if (error)
            *error = QStringLiteral("%1: line %2: %3")
                         .arg(path)
                         .arg(xml.lineNumber())
                         .arg(xml.errorString());
        return {};
    }
    return messages;
}
