#include "ReferenceLateWait.h"

#include "Comm.h"
#include "ResponsivePause.h"

#include <QElapsedTimer>

namespace {
constexpr int Attempts = 5;
constexpr int CardReplyLength = 24;
constexpr std::chrono::milliseconds PauseAfterLoss{1};
constexpr std::chrono::milliseconds LateReplyWindow{2 * Comm::ReplyTimeoutMs};
} // namespace

LateWaitFigures ReferenceLateWaitRead(Comm &comm, int lastCard)
{
    LateWaitFigures figures;
    QElapsedTimer total;
    total.start();
    for (int n = 1; n <= lastCard; ++n) {
        const QString command =
            comm.DeviceIDText() + QStringLiteral("HB") +
            QStringLiteral("%1").arg(n, n <= 9999 ? 4 : 7, 10, QLatin1Char('0'));
        bool timedOut = false;
        bool read = false;
        QElapsedTimer sinceSent;
        for (int i = 0; i < Attempts && !read; ++i) {
            sinceSent.start();
            const int result = comm.CommExchange(command, 6);
            if (result == Comm::TimedOut) {
                timedOut = true;
                ++figures.timedOut;
            }
            read = result == Comm::Accepted && comm.ReplyLength() == CardReplyLength;
            if (!read)
                PauseResponsively(PauseAfterLoss);
        }
        if (timedOut)
            PauseResponsively(LateReplyWindow - std::chrono::milliseconds(sinceSent.elapsed()));
        if (read && !comm.ReplyText().startsWith(QLatin1String("0000000000000000")))
            ++figures.found;
        else if (!read)
            ++figures.failed;
    }
    figures.seconds = double(total.nsecsElapsed()) / 1e9;
    return figures;
}
