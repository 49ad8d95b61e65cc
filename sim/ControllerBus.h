#pragma once

#include "SimController.h"

#include <QList>
#include <memory>
#include <vector>

// The controllers on one line (an RS-485 bus, or behind one network port): the one the
// Device ID addresses answers; the broadcast is answered by every one at once, and with more
// than one on the line their replies collide (BusCollision).
class ControllerBus
{
public:
    struct Answer
    {
        int controller = -1; // the first that answers; -1: nobody answers
        int speakers = 0;    // how many answered at once
        QByteArray body;     // the first one's reply body
        // What goes onto the line: the reply frame, or the frames of all that answered,
        // overlapping.
        QByteArray line;
        bool changed = false; // the data of a controller that answered changed
    };

    void add(std::unique_ptr<SimController> controller);
    int size() const { return static_cast<int>(controllers_.size()); }
    SimController &at(int index) { return *controllers_.at(index); }

    // The controllers that answer this command text, in bus order; nothing is carried out.
    QList<int> answering(const QByteArray &commandText) const;
    // The first of them, -1 for none.
    int addressed(const QByteArray &commandText) const;
    // Every controller that answers carries the command out.
    Answer dispatch(const QByteArray &commandText);

private:
    std::vector<std::unique_ptr<SimController>> controllers_;
};
