#include "ExchangeVerb.h"

#include "CliContext.h"
#include "CliJson.h"
#include "Comm.h"
#include "Frame.h"
#include "LinkOptions.h"
#include "NumberOption.h"

#include <QJsonObject>
#include <algorithm>

int runExchangeVerb(CliContext &context)
{
    if (context.arguments.size() != 1) {
        context.err << context.usage;
        return ExitUsage;
    }
    const int echo = NumberOptionValue(context.parser, QStringLiteral("echo"), 6);
    // Refused before anything is opened: a text the frame cannot carry is a bad argument.
    const QString &text = context.arguments.first();
    const bool latin1 =
        std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
    if (!latin1 || !IsValidCommandText(text.toLatin1())) {
        context.err << "not a command text: 1 to 255 characters of Latin-1, without the framing "
                       "bytes 01, 02, 03, 04 and 0D\n";
        return ExitUsage;
    }
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
        PrintJson(context, object);
    } else {
        context.out << logLine << '\n';
    }
    comm.CommClose();
    return result == Comm::Accepted ? ExitOk : ExitFailed;
}
