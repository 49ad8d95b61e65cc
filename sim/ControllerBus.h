#pragma once

#include "SimController.h"

#include <memory>
#include <vector>

// The controllers on one line (an RS-485 bus, or behind one network port): the one the
// Device ID addresses answers; a broadcast is answered by the first one only.
class ControllerBus
{
public:
    struct Answer
    {
        int controller = -1; // -1: nobody answers
        QByteArray body;
        bool changed = false; // the answering controller's data changed
    };

    void add(std::unique_ptr<SimController> controller);
    int size() const { return static_cast<int>(controllers_.size()); }
    SimController &at(int index) { return *controllers_.at(index); }

    // The controller that answers this command text, -1 for none; nothing is carried out.
    int addressed(const QByteArray &commandText) const;
    // The addressed controller carries the command out.
    Answer dispatch(const QByteArray &commandText);

private:
    std::vector<std::unique_ptr<SimController>> controllers_;
};
