#include "SimulatorHost.h"

#include "SimulatorCore.h"

SimulatorHost::SimulatorHost(const SimulatorConfig &config, QObject *parent)
    : QObject(parent), reader_(config.readerFamily, config.readerIdentity),
      bindAddress_(config.bindAddress)
{
    const QList<ControllerData> controllers =
        config.controllers.isEmpty() ? QList{ControllerData::factory()} : config.controllers;
    for (const ControllerData &data : controllers)
        bus_.add(std::make_unique<SimController>(data));
    setFaults(config.faults);

    thread_.setObjectName(QStringLiteral("kt480sim"));
    core_ = new SimulatorCore(bus_, reader_, {tcpFaults_, udpFaults_, serialFaults_});
    core_->moveToThread(&thread_);
    connect(core_, &SimulatorCore::controllerChanged, this, &SimulatorHost::controllerChanged);
    // The endpoints belong to the thread: they are closed there as it ends.
    connect(&thread_, &QThread::finished, core_, &QObject::deleteLater);
    thread_.start();

    QMetaObject::invokeMethod(
        core_,
        [this, &config] {
            running_ = core_->start(config);
            error_ = core_->errorString();
            tcpPort_ = core_->tcpPort();
            udpPort_ = core_->udpPort();
            serialPath_ = core_->serialPath();
            readerPath_ = core_->readerPath();
        },
        Qt::BlockingQueuedConnection);
}

SimulatorHost::~SimulatorHost()
{
    thread_.quit();
    thread_.wait();
}

int SimulatorHost::controllerCount() const
{
    return bus_.size();
}

ControllerState &SimulatorHost::controller(int index)
{
    return bus_.at(index).state();
}

SharedFaults &SimulatorHost::endpointFaults(Endpoint endpoint)
{
    switch (endpoint) {
    case Endpoint::Tcp:
        return tcpFaults_;
    case Endpoint::Udp:
        return udpFaults_;
    case Endpoint::Serial:
        break;
    }
    return serialFaults_;
}

void SimulatorHost::setEndpointFaults(Endpoint endpoint, const FaultSettings &faults)
{
    endpointFaults(endpoint).set(faults);
}

void SimulatorHost::setFaults(const FaultSettings &faults)
{
    for (const Endpoint e : {Endpoint::Tcp, Endpoint::Udp, Endpoint::Serial})
        setEndpointFaults(e, faults);
}

void SimulatorHost::setControllerFaults(int index, const FaultSettings &faults)
{
    bus_.at(index).faults().set(faults);
}

void SimulatorHost::clearFaults()
{
    setFaults({});
    for (int i = 0; i < bus_.size(); ++i)
        setControllerFaults(i, {});
}
