#pragma once

#include "CardRange.h"
#include "CardsOutsideRange.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

class Comm;
class Language;
class ProgressState;
class Settings;
class SharedFlag;
class UserPrompt;

// A whole controller to two files and back: the parameter file and the card file. Each
// half reports what failed; the run is complete only when both halves are.
class AllBackup
{
    Q_DECLARE_TR_FUNCTIONS(AllBackup)

public:
    struct Outcome
    {
        bool parametersComplete = false;
        bool cardsComplete = false;
        QStringList parameterProblems;
        QStringList cardProblems;
        // Every parameter code and card number named as failed, for callers that check them
        // one by one (the problem lines shorten long lists).
        QStringList failedParameterCodes;
        QList<int> failedCardNumbers;
        // What each half saved or wrote, one line each, so the user knows what the files hold.
        QStringList done;
        // Backup: the card numbers the card file covers (the range, or up to where the read
        // ended), when a card file was saved.
        std::optional<CardRange> cardsRead;
        // Restore: the cards the controller held outside the backup's range.
        QList<int> outsideCards;

        bool complete() const { return parametersComplete && cardsComplete; }
        // "OK!", or "Error!" with what failed in each half; then what was done.
        QString reportText() const;
    };

    // What a restore knows of its backup, and whether it may delete cards the backup never read.
    struct RestorePlan
    {
        CardRange backupRange;
        // False for a backup that does not say which numbers it read (an older one): the
        // default range stands in for it, and the restore says so.
        bool rangeRecorded = false;
        bool force = false;
        // The cards by a sync: only the numbers that differ from the card file are written, no
        // card is deleted first, and the cards outside the backup's range stay as they are.
        bool sync = false;
    };
    // The plan for a card file: the range the backup record beside it names, if any.
    static RestorePlan PlanBeside(const QString &cardPath);

    AllBackup(Comm &comm, Settings &settings, ProgressState &progress, SharedFlag &clockReadPaused,
              SharedFlag &batchMode, UserPrompt &prompt, const Language &language);

    // Waits of the product unless a caller (a test) shortens them.
    void setRetryPause(std::chrono::milliseconds pause) { retryPause_ = pause; }
    void setSettleWait(int passes, int passMs);
    // The highest card number a restore looks at outside the backup's range.
    void setOutsideCheckCeiling(int ceiling) { outsideCeiling_ = ceiling; }

    // The cards of the range are read (the card window's range, or the command line's).
    Outcome backup(const QString &parameterPath, const QString &cardPath, const CardRange &range);
    // Both files are loaded and checked before anything is written; then the cards the
    // controller holds outside the backup's range are read, and the restore goes on past them
    // only with force or a yes. No write without the controller's version.
    Outcome restore(const QString &parameterPath, const QString &cardPath,
                    const QString &versionText, const RestorePlan &plan);

private:
    Comm &comm_;
    Settings &settings_;
    ProgressState &progress_;
    SharedFlag &clockReadPaused_;
    SharedFlag &batchMode_;
    UserPrompt &prompt_;
    const Language &language_;
    std::chrono::milliseconds retryPause_;
    int settlePasses_ = 1000;
    int settlePassMs_ = 10;
    int outsideCeiling_ = CardsOutsideRange::DefaultCeiling;
};
