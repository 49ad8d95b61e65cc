#include "ControllerBus.h"

void ControllerBus::add(std::unique_ptr<SimController> controller)
{
    controllers_.push_back(std::move(controller));
}

int ControllerBus::addressed(const QByteArray &commandText) const
{
    for (int i = 0; i < size(); ++i) {
        if (controllers_[i]->model().answers(commandText))
            return i;
    }
    return -1;
}

ControllerBus::Answer ControllerBus::dispatch(const QByteArray &commandText)
{
    const int index = addressed(commandText);
    if (index < 0)
        return {};
    ControllerState &state = controllers_[index]->state();
    const quint64 before = state.revision();
    QByteArray body = controllers_[index]->model().handleRequest(commandText);
    return {index, std::move(body), state.revision() != before};
}
