#include "AppContext.h"
#include "TfrmKT480NT5.h"
#include "TraceBuffer.h"

#include <OutcomeText.h>
#include <QDateTime>
#include <QDir>
#include <QStandardPaths>
#include <TextRow.h>

void TfrmKT480NT5::btnSaveLogClick()
{
    const QString proposed =
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .filePath(
                QStringLiteral("kt480nt5-trace-%1.txt")
                    .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
    const QString path = context_.prompt->saveFileName(proposed, tr("text files(*.txt)")).trimmed();
    if (path.isEmpty())
        return;
    QString error;
    if (!trace_->saveTo(path, error))
        context_.prompt->message(OutcomeText({error}),
                                 context_.language.TableText(TextRow::SystemMessage));
}
