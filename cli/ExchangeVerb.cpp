#include "ExchangeVerb.h"

#include "CliContext.h"
#include "Comm.h"
#include "LinkOptions.h"
#include "NumberOption.h"

#include <QJsonDocument>
#include <QJsonObject>

int runExchangeVerb(CliContext &context)
{
    if (context.arguments.size() != 1) {
        context.err << "usage: kt480ctl CONNECTION exchange TEXT [--echo K]\n";
        return ExitUsage;
    }
    const int echo = NumberOptionValue(context.parser, QStringLiteral("echo"), 6);
    Comm comm;
    QString logLine;
    QObject::connect(&comm, &Comm::logLine, [&](const QString &line) { logLine = line; });
    if (!context.link.open(comm)) {
        context.err << context.link.error() << '\n';
        return ExitFailed;
    }
    const int result = comm.CommExchange(context.arguments.first(), echo);
    if (context.json) {
        const QJsonObject object{
            {QStringLiteral("result"), result},
            {QStringLiteral("reply"), PrintableText(comm.ReplyText().toLatin1())},
            {QStringLiteral("length"), comm.ReplyLength()},
            {QStringLiteral("log"), logLine}};
        context.out << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
    } else {
        context.out << logLine << '\n';
    }
    comm.CommClose();
    return result == Comm::Accepted ? ExitOk : ExitFailed;
}
