#include "CommandInput.h"

#include <cstdio>
#include <unistd.h>

CommandInput::CommandInput(int fd, QString source, QObject *parent)
    : QObject(parent), fd_(fd), source_(std::move(source))
{
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &CommandInput::readInput);
}

void CommandInput::readInput()
{
    char chunk[512];
    const ssize_t n = ::read(fd_, chunk, sizeof chunk);
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

void CommandInput::handleLine(const QByteArray &line)
{
    const QList<QByteArray> words = line.simplified().split(' ');
    if (words.size() == 2 && words[0] == "card" && !words[1].isEmpty()) {
        emit cardPresented(words[1]);
        return;
    }
    if (!line.isEmpty())
        std::fprintf(stderr, "%s: unknown command: %s (expected: card CODE)\n", qPrintable(source_),
                     line.constData());
}
