#pragma once

#include "SerialTarget.h"

#include <QList>
#include <QObject>
#include <QString>
#include <optional>

class Comm;

// Finds the MELOK9 desk reader on the serial ports: port after port in the order given (the
// search order of SerialTargetsInSearchOrder, last name first), the controller's own port
// never opened; on each, every reader family's probe up to three times. The reader's port
// stays open when it is found; nothing of the controller link is touched.
class ReaderSearch : public QObject
{
    Q_OBJECT

public:
    // A family of readers: the probe that finds it and the command that reads a card.
    struct Family
    {
        QString probe;
        QString read;
    };
    struct Found
    {
        SerialTarget port;
        QString readCommand;
    };

    static const QList<Family> &Families();
    static constexpr int ProbeAttempts = 3;
    static constexpr int EchoLength = 4;
    // A probe is answered with at least this many characters after the echo.
    static constexpr int ProbeMinimumLength = 8;
    static inline const QString LineSettings = QStringLiteral("19200,e,8,1");

    explicit ReaderSearch(Comm &comm, QObject *parent = nullptr);

    // controllerPort: the COM number of the controller's serial link, 0 when none.
    std::optional<Found> find(const QList<SerialTarget> &ports, int controllerPort);

signals:
    // Every port in turn, the skipped one included (the window names it in its status bar).
    void scanning(const QString &portName);
    // A port that is opened and asked.
    void probing(const QString &portName);

private:
    // The read command of the family that answered on the open port.
    std::optional<QString> probeOpenPort();

    Comm &comm_;
};
