#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <optional>

class Language;
class ParamTransfer;
class SharedFlag;

// The controller's own SD card backup and restore: the utility checks that the controller
// is idle ("AN"), starts the copy into or out of a slot ("ALB" / "ALR" + slot), confirms that
// it runs, and follows its count until the controller reports idle again, within a bound of
// 300 seconds. The controller copies by itself; nothing here stops it.
class SdCardOperation : public QObject
{
    Q_OBJECT

public:
    enum class Kind
    {
        Backup,
        Restore
    };

    // A reply to "AN": state '0' idle, '1' SD backup running, '2' SD restore running; the
    // four-digit count (idle: what the next copy processes; running: what is done so far);
    // the card's size in 512-byte sectors.
    struct Status
    {
        QChar state;
        int count = 0;
        qint64 sectors = 0;
        QString payload;

        bool idle() const { return state == u'0'; }
        bool backupRunning() const { return state == u'1'; }
        bool restoreRunning() const { return state == u'2'; }
        // While a copy runs, an answer this short is not a status.
        bool complete() const { return payload.size() >= 12; }
    };

    enum class Ending
    {
        Finished,        // the controller reported idle again: "OK!"
        BusyWithBackup,  // refused before the start: a backup was running
        BusyWithRestore, // refused before the start: a restore was running
        NoAnswer,        // no usable status before the start
        StartFailed,     // the start command was not accepted
        NotStarted,      // the start was accepted but the copy never showed as running
        GaveUp,          // the bound or the silence ended the following: it may still copy
    };

    struct Outcome
    {
        Ending ending = Ending::NoAnswer;
        int total = 0;
        int done = 0;
        // The last status read (the one that decided, or the last while following).
        std::optional<Status> last;
        // The person pressed Cancel: the utility stopped asking; a copy already started goes
        // on in the controller.
        bool cancelled = false;

        bool finished() const { return ending == Ending::Finished; }
        // The messages the user is shown, in order: a busy message first, then "OK!" or
        // "Error!" with what happened.
        QStringList messages(Kind kind) const;
    };

    // The waits of the product; a test shortens them.
    struct Timing
    {
        std::chrono::milliseconds checkPause{500};
        std::chrono::milliseconds pollInterval{800};
        std::chrono::milliseconds bound{std::chrono::seconds(300)};
        int silenceBeforeTimeShown = 4;
        int failureLimit = 20;
    };

    static constexpr int StatusAttempts = 5;
    static constexpr int ReadyFromAttempt = 3;
    static constexpr int SlotCount = 10;

    SdCardOperation(ParamTransfer &transfer, SharedFlag &clockReadPaused, const Language &language,
                    QObject *parent = nullptr);

    void setTiming(const Timing &timing) { timing_ = timing; }

    // One status request; nothing when the controller gave no usable answer.
    std::optional<Status> readStatus();
    // Runs a backup to or a restore from the slot ("01" to "10") to its end.
    Outcome run(Kind kind, const QString &slot);

    static std::optional<Status> ParseStatus(const QString &payload);
    // What the page and the command line say about a status (or its absence).
    static QString StateText(const std::optional<Status> &status);
    // The message of a controller busy with another copy, as each operation words it.
    static QString BusyMessage(Kind kind, Ending busy);
    // "01" to "10" for 1 to 10; empty for anything else.
    static QString SlotText(int slot);

signals:
    // The status-bar text of the running step.
    void status(const QString &text);
    // Every status the controller gave while the operation ran, as it came.
    void controllerState(const SdCardOperation::Status &status);

private:
    enum class Check
    {
        Ready,
        Busy,
        Silent
    };

    // The status of one request, told to the listeners of controllerState().
    std::optional<Status> askStatus();
    bool cancelled(Outcome &outcome) const;
    Check checkIdle(Outcome &outcome);
    bool confirmStart(Outcome &outcome);
    void follow(Kind kind, Outcome &outcome);
    void showCount(Kind kind, const Outcome &outcome);
    void showPercent(Kind kind, int percent);

    ParamTransfer &transfer_;
    SharedFlag &clockReadPaused_;
    const Language &language_;
    Timing timing_;
};
