#pragma once

#include <QString>

// Checks on text that is about to become a command: a value must hold no control or
// framing bytes and only single-byte characters, and the whole command must fit the frame.

// Empty when the value may travel in a command; otherwise why not.
QString ValueProblem(const QString &value);

// Empty when Device ID + code + value is a catalogue code with a safe value that fits the
// 255-character command; otherwise why not.
QString CommandProblem(const QString &deviceId, const QString &code, const QString &value);
