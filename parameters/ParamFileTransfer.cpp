#include "ParamFileTransfer.h"

#include "Comm.h"
#include "CommandCheck.h"
#include "DeviceDataGroup.h"
#include "KnownFieldLists.h"
#include "Language.h"
#include "ParamFilePaths.h"
#include "ParamTransfer.h"
#include "ProgressState.h"
#include "ReplyTally.h"
#include "Settings.h"
#include "UserPrompt.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

namespace {

constexpr int DisplayedCodeLength = 20;

const QString TypeField = QStringLiteral("DataType");
const QString ValueField = QStringLiteral("DataVaue");

bool IsSpaceOrControl(QChar c)
{
    return c.unicode() <= 0x20 || c.unicode() == 0x7F;
}

// Leading and trailing spaces and control characters removed.
QString TrimmedValue(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsSpaceOrControl(text.at(begin)))
        ++begin;
    while (end > begin && IsSpaceOrControl(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

// A code from a file as it may be shown: control characters replaced, long ones cut.
QString DisplayedCode(const QString &code, int row)
{
    if (code.isEmpty())
        return ParamFileTransfer::tr("(empty code, row %1)").arg(row);
    QString shown = code.left(DisplayedCodeLength);
    for (QChar &c : shown) {
        if (IsSpaceOrControl(c))
            c = u'?';
    }
    return code.size() > DisplayedCodeLength ? shown + QStringLiteral("...") : shown;
}

// Some attempt got a reply, none a good one, and the controller did not refuse the code: it
// holds the code, and the line damaged every reply. (Silence or a refusal is how a
// controller says it lacks a code.)
bool AnsweredButDamaged(const ExchangeReply &reply)
{
    return reply.answered && !reply.accepted() && !reply.refused;
}

} // namespace

ParamFileTransfer::ParamFileTransfer(ParamTransfer &transfer, Settings &settings,
                                     UserPrompt &prompt, const Language &language)
    : transfer_(transfer), settings_(settings), prompt_(prompt), language_(language)
{
    defineTable();
}

void ParamFileTransfer::defineTable()
{
    table_.Close();
    table_.ClearFields();
    for (const TableField &field : ParameterFileFields())
        table_.AddField(field.name, field.size, field.type);
    table_.CreateDataSet();
}

ParamResult ParamFileTransfer::backup(const QString &shownPath)
{
    ParamResult result;
    ProgressState &progress = transfer_.progress();
    progress.begin(language_.TableText(TextRow::ReadFromDevice),
                   language_.TableText(TextRow::Reading), BackupProgressMaximum, true);
    const auto finish = qScopeGuard([this, &progress] {
        transfer_.watchSilence(0);
        progress.end();
    });
    transfer_.comm().CommResume();
    defineTable();
    transfer_.watchSilence(SilenceBeforeCheck);

    if (WithXmlExtension(shownPath.trimmed()).isEmpty()) {
        result.fail(tr("No export file is chosen."));
        return result;
    }
    if (!transfer_.controllerAnswers()) {
        result.fail(tr("The controller does not answer; nothing was read and no file was "
                       "written."));
        return result;
    }

    const ReplyTally before = transfer_.comm().replyTally();
    bool linkLost = false;
    QString lostAt;
    // Codes the controller answered only with damaged replies: it holds them, so they are
    // named as not read, and their family goes on.
    QStringList damaged;
    // Codes that never answered. A controller does not answer codes it lacks; but on a line
    // that loses replies (some code needed more than one attempt) one it has may be among
    // them, so then they are named too.
    QStringList unanswered;
    bool lineLosesReplies = false;
    QString cancelledAt;
    for (const DeviceDataGroup &group : DeviceDataGroups()) {
        for (const QString &family : group.families) {
            const int first = group.hasIndex() ? group.first : 0;
            const int last = group.hasIndex() ? group.last : 0;
            for (int index = first; index <= last && !linkLost; ++index) {
                const QString code = group.code(family, index);
                if (progress.stopRequested()) {
                    cancelledAt = code;
                    linkLost = true;
                    break;
                }
                const bool succeeded = transfer_.transfer(code, family);
                if (transfer_.linkLost()) {
                    linkLost = true;
                    lostAt = code;
                    break;
                }
                const ExchangeReply &reply = transfer_.lastReply();
                if (succeeded && reply.attempts > 1)
                    lineLosesReplies = true;
                if (!succeeded) {
                    if (AnsweredButDamaged(reply)) {
                        damaged.append(code);
                        lineLosesReplies = true;
                        continue;
                    }
                    if (reply.silent())
                        unanswered.append(code);
                    if (group.stop == GroupStop::TryEvery)
                        continue;
                    break;
                }
                const QString value = TrimmedValue(transfer_.replyText());
                if (group.stop == GroupStop::FirstFailureOrSixteenZeros &&
                    value == QLatin1String(SixteenZeros))
                    break;
                if (value.isEmpty() && !group.storeEmptyReply)
                    continue;
                table_.AppendRow({code, value});
                result.values.append({code, value});
            }
            if (linkLost)
                break;
        }
        if (linkLost)
            break;
    }
    // Cancel writes nothing: the earlier file, if any, stays as it was.
    if (!cancelledAt.isEmpty()) {
        result.fail(cancelledAt,
                    tr("The backup was cancelled at %1; no file was written.").arg(cancelledAt));
        return result;
    }
    if (!lineLosesReplies)
        unanswered.clear();
    const quint64 strays = transfer_.comm().replyTally().straysSince(before);
    result.merge(saveBackup(
        shownPath, !linkLost && damaged.isEmpty() && unanswered.isEmpty() && strays == 0, lostAt));
    if (strays > 0)
        result.fail(StrayRepliesText(strays));
    if (!damaged.isEmpty())
        result.fail(tr("%n values were not read: the controller answered, but every reply "
                       "was damaged: %1",
                       nullptr, int(damaged.size()))
                        .arg(CodeList(damaged)));
    if (!unanswered.isEmpty())
        result.fail(tr("%n codes never answered. The line lost replies, so the controller "
                       "may hold some of them: %1",
                       nullptr, int(unanswered.size()))
                        .arg(CodeList(unanswered)));
    result.failedCodes += damaged + unanswered;
    return result;
}

ParamResult ParamFileTransfer::saveBackup(const QString &shownPath, bool complete,
                                          const QString &lostAt)
{
    ParamResult result;
    const QString target = WithXmlExtension(shownPath.trimmed());
    if (table_.IsEmpty()) {
        result.fail(complete ? tr("The controller answered no parameter code; no file was "
                                  "written.")
                             : tr("The link was lost at %1 before any value was read; no file "
                                  "was written.")
                                   .arg(lostAt));
        return result;
    }
    if (!complete) {
        if (!lostAt.isEmpty())
            result.fail(lostAt, tr("The link was lost at %1; the backup holds only the %n "
                                   "values read before.",
                                   nullptr, table_.RecordCount())
                                    .arg(lostAt));
        if (QFileInfo::exists(target)) {
            const QString question =
                tr("The backup is incomplete (%n values). Replace the earlier file %1 with it?",
                   nullptr, table_.RecordCount())
                    .arg(target);
            if (!prompt_.question(question, language_.TableText(TextRow::SystemMessage))) {
                result.messages.append(tr("The earlier file %1 was kept.").arg(target));
                return result;
            }
        }
    }
    QFileInfo(target).absoluteDir().mkpath(QStringLiteral("."));
    const TableResult saved = table_.SaveToFile(target);
    if (!saved) {
        result.fail(saved.error());
        return result;
    }
    settings_.SaveSetting(ParamFilePaths::ExportSetting, shownPath);
    if (!complete)
        result.messages.append(tr("The incomplete backup was written to %1.").arg(target));
    return result;
}

ParamResult ParamFileTransfer::load(const QString &shownPath)
{
    ParamResult result;
    if (shownPath.isEmpty()) {
        result.fail(tr("No import file is chosen."));
        return result;
    }
    // A folder or a device is named as such by the load below.
    if (!QFileInfo::exists(shownPath)) {
        result.fail(tr("%1: the file does not exist.").arg(shownPath));
        return result;
    }
    defineTable();
    const TableResult loaded = table_.LoadFromFile(shownPath);
    if (!loaded) {
        result.fail(loaded.error());
        return result;
    }
    const int typeIndex = table_.FieldIndex(TypeField);
    const int valueIndex = table_.FieldIndex(ValueField);
    if (typeIndex < 0 || valueIndex < 0) {
        result.fail(tr("%1: not a parameter file (no %2 and %3 fields).")
                        .arg(shownPath, TypeField, ValueField));
        return result;
    }
    if (table_.IsEmpty()) {
        result.fail(tr("%1: the file holds no parameter rows.").arg(shownPath));
        return result;
    }
    return result;
}

ParamResult ParamFileTransfer::restore(const QString &shownPath)
{
    const ParamResult loaded = load(shownPath);
    return loaded.success ? writeLoaded(shownPath) : loaded;
}

ParamResult ParamFileTransfer::writeLoaded(const QString &shownPath)
{
    ParamResult result;
    const int typeIndex = table_.FieldIndex(TypeField);
    const int valueIndex = table_.FieldIndex(ValueField);
    settings_.SaveSetting(ParamFilePaths::ImportSetting, shownPath);

    ProgressState &progress = transfer_.progress();
    progress.begin(language_.TableText(TextRow::WriteToDevice),
                   language_.TableText(TextRow::Writing),
                   table_.RecordCount() + RestoreProgressExtra, true);
    const auto finish = qScopeGuard([this, &progress] {
        transfer_.watchSilence(0);
        progress.end();
    });
    transfer_.comm().CommResume();
    transfer_.watchSilence(SilenceBeforeCheck);
    if (!transfer_.controllerAnswers()) {
        result.fail(tr("The controller does not answer; nothing was written."));
        return result;
    }

    const QString deviceId = transfer_.comm().DeviceIDText();
    const ReplyTally before = transfer_.comm().replyTally();
    QStringList refused;
    QStringList rejected;
    QStringList unsent;
    QString lostAt;
    QString cancelledAt;
    for (int row = 0; row < table_.RecordCount(); ++row) {
        const QString code = table_.Value(row, typeIndex).trimmed();
        const QString value = table_.Value(row, valueIndex).trimmed();
        if (lostAt.isEmpty() && cancelledAt.isEmpty() && progress.stopRequested())
            cancelledAt = DisplayedCode(code, row + 1);
        if (!lostAt.isEmpty() || !cancelledAt.isEmpty()) {
            unsent.append(DisplayedCode(code, row + 1));
            continue;
        }
        if (!CommandProblem(deviceId, code, value).isEmpty()) {
            refused.append(DisplayedCode(code, row + 1));
            progress.advance();
            continue;
        }
        if (transfer_.transfer(code + value, QStringLiteral("AA"))) {
            result.values.append({code, value});
            continue;
        }
        rejected.append(code);
        if (transfer_.linkLost())
            lostAt = code;
    }

    if (!refused.isEmpty())
        result.fail(tr("%n rows not sent (not a parameter code, or a value with control "
                       "characters or too long): %1",
                       nullptr, int(refused.size()))
                        .arg(CodeList(refused)));
    if (!rejected.isEmpty())
        result.fail(tr("%n rows not taken by the controller: %1", nullptr, int(rejected.size()))
                        .arg(CodeList(rejected)));
    if (!lostAt.isEmpty())
        result.fail(
            tr("The link was lost at %1; %n rows were not sent.", nullptr, int(unsent.size()))
                .arg(lostAt));
    if (!cancelledAt.isEmpty())
        result.fail(tr("The restore was cancelled at %1; %n rows were not sent.", nullptr,
                       int(unsent.size()))
                        .arg(cancelledAt));
    // What a restore cut short did: the rows before it are in the controller.
    if (!lostAt.isEmpty() || !cancelledAt.isEmpty())
        result.fail(tr("%n values were written.", nullptr, int(result.values.size())));
    if (const quint64 strays = transfer_.comm().replyTally().straysSince(before); strays > 0)
        result.fail(StrayRepliesText(strays));
    result.failedCodes = refused + rejected + unsent;
    return result;
}
