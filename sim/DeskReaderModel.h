#pragma once

#include <QByteArray>
#include <QMutex>
#include <QQueue>

// What the MELOK9 desk reader answers. Cards presented are handed out once each, in order;
// presentCard may be called from any thread.
class DeskReaderModel
{
public:
    // family: the letter of the probe and read commands this reader answers ('A', 'H', 'K').
    explicit DeskReaderModel(char family = 'A', QByteArray identity = "MELOK9V1");

    // The reply body (echo first); empty when the reader ignores the command.
    QByteArray handleRequest(const QByteArray &commandText);

    void presentCard(const QByteArray &code);
    // A silent reader answers nothing, as one whose cable was pulled.
    void setSilent(bool silent);
    int cardsWaiting() const;

private:
    const char family_;
    const QByteArray identity_;
    mutable QMutex mutex_;
    QQueue<QByteArray> presented_;
    bool silent_ = false;
};
