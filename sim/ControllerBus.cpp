#include "ControllerBus.h"

void ControllerBus::add(std::unique_ptr<SimController> controller)
{
    controllers_.push_back(std::move(controller));
}

ControllerBus::Answer ControllerBus::dispatch(const QByteArray &commandText)
{
    for (int i = 0; i < size(); ++i) {
        ControllerState &state = controllers_[i]->state();
        const quint64 before = state.revision();
        QByteArray body = controllers_[i]->model().handleRequest(commandText);
        if (!body.isEmpty())
            return {i, std::move(body), state.revision() != before};
    }
    return {};
}
