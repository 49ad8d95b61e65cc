#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <memory>

// Reads command lines from a descriptor (standard input, or the control FIFO): "card CODE"
// presents a card to the desk reader. The descriptor belongs to the caller.
class CommandInput : public QObject
{
    Q_OBJECT

public:
    // source names the input in the message about a line it does not understand.
    CommandInput(int fd, QString source, QObject *parent = nullptr);

signals:
    void cardPresented(const QByteArray &code);

private:
    void readInput();
    void handleLine(const QByteArray &line);

    int fd_;
    QString source_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QByteArray pending_;
};
