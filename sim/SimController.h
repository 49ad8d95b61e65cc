#pragma once

#include "ControllerModel.h"
#include "ControllerState.h"
#include "SharedFaults.h"

// One simulated controller: its data, what it answers, and the faults it shows.
class SimController
{
public:
    explicit SimController(ControllerData data, ControllerModel::Clock clock = {})
        : state_(std::move(data)), model_(state_, std::move(clock))
    {
    }
    SimController(const SimController &) = delete;
    SimController &operator=(const SimController &) = delete;

    ControllerState &state() { return state_; }
    ControllerModel &model() { return model_; }
    SharedFaults &faults() { return faults_; }

private:
    ControllerState state_;
    ControllerModel model_;
    SharedFaults faults_;
};
