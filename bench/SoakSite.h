#pragma once

#include "Comm.h"
#include "SimulatorHost.h"
#include "SoakCheck.h"

#include <QRandomGenerator>
#include <QString>
#include <memory>
#include <optional>

// One transport of the soak: a simulated line with two controllers on it (the source of every
// backup, ID 1, and the target of every restore, ID 2), the faults of the line, and the link
// to it. Rounds change the source, back it up, restore the files into the target, and check
// the controllers against the files and the outcomes.
class SoakSite
{
public:
    struct Round
    {
        quint64 exchanges = 0;
        quint64 retries = 0; // attempts whose reply was lost, late, damaged or unclear
        SoakFindings findings;
        int falseOk = 0; // operations that reported complete with a difference
        double seconds = 0;
    };

    SoakSite(SimulatorHost::Endpoint endpoint, const FaultSettings &faults, quint32 seed,
             int lastCard);
    ~SoakSite();

    // False with error() when the simulator or the link cannot be opened.
    bool open();
    QString error() const { return error_; }
    // Exchanges made before the line first delivered a reply frame outside its exchange, from
    // when on a reply that may be a copy is confirmed; none while it has not.
    std::optional<quint64> exchangesBeforeStrayFrame() const { return exchangesBeforeStray_; }

    Round runRound(const QString &folder);

private:
    void changeSource();
    void scrambleTarget();

    SimulatorHost::Endpoint endpoint_;
    FaultSettings faults_;
    int lastCard_;
    QRandomGenerator random_;
    std::unique_ptr<SimulatorHost> sim_;
    Comm comm_;
    quint64 exchanges_ = 0;
    quint64 retries_ = 0;
    std::optional<quint64> exchangesBeforeStray_;
    QString error_;
};
