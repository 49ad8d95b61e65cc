#include "ReaderSearch.h"

#include "CardsLog.h"
#include "Comm.h"

ReaderSearch::ReaderSearch(Comm &comm, QObject *parent) : QObject(parent), comm_(comm) {}

const QList<ReaderSearch::Family> &ReaderSearch::Families()
{
    static const QList<Family> families{{QStringLiteral("A00B"), QStringLiteral("A00F")},
                                        {QStringLiteral("H00B"), QStringLiteral("H00F")},
                                        {QStringLiteral("K00B"), QStringLiteral("K00F")}};
    return families;
}

std::optional<QString> ReaderSearch::probeOpenPort()
{
    for (const Family &family : Families()) {
        for (int attempt = 0; attempt < ProbeAttempts; ++attempt) {
            if (comm_.ReaderExchange(family.probe, EchoLength) == Comm::Accepted &&
                comm_.ReaderReplyLength() >= ProbeMinimumLength)
                return family.read;
        }
    }
    return std::nullopt;
}

std::optional<ReaderSearch::Found> ReaderSearch::find(const QList<SerialTarget> &ports,
                                                      int controllerPort)
{
    for (const SerialTarget &port : ports) {
        emit scanning(port.name);
        comm_.ReaderClose();
        if (controllerPort > 0 && port.number == controllerPort)
            continue;
        try {
            if (!comm_.ReaderOpenDevice(port.devicePath, LineSettings))
                continue;
            emit probing(port.name);
            if (const auto read = probeOpenPort())
                return Found{port, *read};
        } catch (const std::exception &e) {
            qCWarning(lcCards) << "reader search on" << port.name << "failed:" << e.what();
        } catch (...) {
            qCWarning(lcCards) << "reader search on" << port.name << "failed";
        }
    }
    comm_.ReaderClose();
    return std::nullopt;
}
