#include "ParamDefaults.h"

#include "FactoryDefault.h"
#include "Language.h"
#include "ParamTransfer.h"
#include "ProgressState.h"

#include <QScopeGuard>

ParamDefaults::ParamDefaults(ParamTransfer &transfer, const Language &language)
    : transfer_(transfer), language_(language)
{
}

ParamResult ParamDefaults::apply()
{
    ProgressState &progress = transfer_.progress();
    progress.begin(language_.TableText(TextRow::ParameterHint),
                   language_.TableText(TextRow::Writing), ProgressMaximum, false);
    const auto finish = qScopeGuard([&progress] { progress.end(); });

    ParamResult result;
    QStringList unsent;
    for (const FactoryDefault &entry : FactoryDefaults()) {
        if (!entry.sent)
            continue;
        if (!result.success) {
            unsent.append(entry.code);
            continue;
        }
        if (transfer_.transfer(entry.code + entry.value, entry.code))
            result.values.append({entry.code, entry.value});
        else
            result.fail(entry.code, tr("%1: default not written").arg(entry.code));
    }
    if (!unsent.isEmpty())
        result.messages.append(tr("not sent: %1").arg(CodeList(unsent)));
    transfer_.transfer(QString::fromLatin1(DefaultsClosingCode), QStringLiteral("AR"));
    return result;
}
