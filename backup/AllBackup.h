#pragma once

#include "CardRange.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <chrono>

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

        bool complete() const { return parametersComplete && cardsComplete; }
        // "OK!", or "Error!" with what failed in each half; then what was done.
        QString reportText() const;
    };

    AllBackup(Comm &comm, Settings &settings, ProgressState &progress, SharedFlag &clockReadPaused,
              SharedFlag &batchMode, UserPrompt &prompt, const Language &language);

    // Waits of the product unless a caller (a test) shortens them.
    void setRetryPause(std::chrono::milliseconds pause) { retryPause_ = pause; }
    void setSettleWait(int passes, int passMs);

    // The cards of the range are read (the card window's range, or the command line's).
    Outcome backup(const QString &parameterPath, const QString &cardPath, const CardRange &range);
    Outcome restore(const QString &parameterPath, const QString &cardPath,
                    const QString &versionText);

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
};
