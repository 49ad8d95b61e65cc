#pragma once

#include <QObject>
#include <QString>

// Hands the program's own log messages (categories "kt480.*": caught errors, refused
// addresses) to whoever shows them, the main window's diagnostic panel. Qt's message handler
// is process-wide by nature: the relay installs itself for its lifetime, restores the
// previous handler when it ends, and passes every message on to that handler as well.
// Messages may come from any thread; the signal is delivered in the relay's thread.
class LogRelay : public QObject
{
    Q_OBJECT

public:
    explicit LogRelay(QObject *parent = nullptr);
    ~LogRelay() override;
    LogRelay(const LogRelay &) = delete;
    LogRelay &operator=(const LogRelay &) = delete;

    // "kt480.link warning: text", the form the panel shows.
    static QString LineFor(QtMsgType type, const char *category, const QString &text);

signals:
    void message(const QString &line);

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text);

    QtMessageHandler previous_ = nullptr;
    LogRelay *outer_ = nullptr;
};
