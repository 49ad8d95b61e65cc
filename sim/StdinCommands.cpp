#include "StdinCommands.h"

#include <cstdio>
#include <unistd.h>

StdinCommands::StdinCommands(QObject *parent) : QObject(parent)
{
    notifier_ = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &StdinCommands::readInput);
}

void StdinCommands::readInput()
{
    char chunk[512];
    const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (n <= 0) {
        // End of input (or /dev/null): stop watching, the simulator goes on serving.
        notifier_->setEnabled(false);
        return;
    }
    pending_.append(chunk, n);
    qsizetype end = 0;
    while ((end = pending_.indexOf('\n')) >= 0) {
        handleLine(pending_.left(end).trimmed());
        pending_.remove(0, end + 1);
    }
}

void StdinCommands::handleLine(const QByteArray &line)
{
    const QList<QByteArray> words = line.simplified().split(' ');
    if (words.size() == 2 && words[0] == "card" && !words[1].isEmpty()) {
        emit cardPresented(words[1]);
        return;
    }
    if (!line.isEmpty())
        std::fprintf(stderr, "unknown command: %s (expected: card CODE)\n", line.constData());
}
