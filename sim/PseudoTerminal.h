#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair standing in for a serial cable. The slave side is set to raw mode
// before anyone opens it (echo would corrupt traffic), and one slave descriptor stays open
// here so that the master never sees the end of input when a client closes the port.
class PseudoTerminal
{
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool isOpen() const { return master_ >= 0; }
    QString errorString() const { return error_; }
    // The device path clients open, e.g. /dev/pts/5.
    QString slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }

    // Everything the client has written so far (non-blocking).
    QByteArray readAvailable();
    void write(const QByteArray &bytes);

private:
    void fail(const char *what);

    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
    QString error_;
};
