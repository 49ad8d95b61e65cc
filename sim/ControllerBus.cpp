#include "ControllerBus.h"

#include "BusCollision.h"
#include "Frame.h"

void ControllerBus::add(std::unique_ptr<SimController> controller)
{
    controllers_.push_back(std::move(controller));
}

QList<int> ControllerBus::answering(const QByteArray &commandText) const
{
    QList<int> indexes;
    for (int i = 0; i < size(); ++i) {
        if (controllers_[i]->model().answers(commandText))
            indexes << i;
    }
    return indexes;
}

int ControllerBus::addressed(const QByteArray &commandText) const
{
    const QList<int> indexes = answering(commandText);
    return indexes.isEmpty() ? -1 : indexes.first();
}

ControllerBus::Answer ControllerBus::dispatch(const QByteArray &commandText)
{
    Answer answer;
    QList<QByteArray> frames;
    for (const int index : answering(commandText)) {
        ControllerState &state = controllers_[index]->state();
        const quint64 before = state.revision();
        const QByteArray body = controllers_[index]->model().handleRequest(commandText);
        answer.changed = answer.changed || state.revision() != before;
        if (body.isEmpty())
            continue;
        if (answer.controller < 0) {
            answer.controller = index;
            answer.body = body;
        }
        frames << BuildReplyFrame(body);
    }
    answer.speakers = int(frames.size());
    answer.line = OverlappingFrames(frames);
    return answer;
}
