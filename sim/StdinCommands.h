#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <memory>

// Reads command lines from standard input: "card CODE" presents a card to the desk reader.
class StdinCommands : public QObject
{
    Q_OBJECT

public:
    explicit StdinCommands(QObject *parent = nullptr);

signals:
    void cardPresented(const QByteArray &code);

private:
    void readInput();
    void handleLine(const QByteArray &line);

    std::unique_ptr<QSocketNotifier> notifier_;
    QByteArray pending_;
};
