#pragma once

#include "CommandInput.h"

#include <QString>
#include <memory>

// A named pipe that takes the simulator's commands, so that a person at another terminal
// can present cards while the utility polls the reader: echo "card 0012345678" > PATH.
// The FIFO is made when missing (and then removed again at the end); writers may come and
// go, the pipe stays open for the next one.
class ControlFifo
{
public:
    explicit ControlFifo(const QString &path);
    ~ControlFifo();
    ControlFifo(const ControlFifo &) = delete;
    ControlFifo &operator=(const ControlFifo &) = delete;

    bool isOpen() const { return input_ != nullptr; }
    QString errorString() const { return error_; }
    CommandInput *input() const { return input_.get(); }

private:
    QString path_;
    bool made_ = false;
    int readFd_ = -1;
    // Held open so that the last writer going away is not an end of input.
    int keepFd_ = -1;
    QString error_;
    std::unique_ptr<CommandInput> input_;
};
