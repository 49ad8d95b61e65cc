#include "DeskReaderModel.h"

#include <QMutexLocker>

DeskReaderModel::DeskReaderModel(char family, QByteArray identity)
    : family_(family), identity_(std::move(identity))
{
}

QByteArray DeskReaderModel::handleRequest(const QByteArray &commandText)
{
    if (commandText.size() != 4 || commandText[0] != family_ || commandText.mid(1, 2) != "00")
        return {};
    const QMutexLocker lock(&mutex_);
    if (silent_)
        return {};
    if (commandText[3] == 'B')
        return commandText + identity_;
    if (commandText[3] != 'F')
        return {};
    return commandText + (presented_.isEmpty() ? QByteArray() : presented_.dequeue());
}

void DeskReaderModel::presentCard(const QByteArray &code)
{
    const QMutexLocker lock(&mutex_);
    presented_.enqueue(code);
}

int DeskReaderModel::cardsWaiting() const
{
    const QMutexLocker lock(&mutex_);
    return static_cast<int>(presented_.size());
}

void DeskReaderModel::setSilent(bool silent)
{
    const QMutexLocker lock(&mutex_);
    silent_ = silent;
}
