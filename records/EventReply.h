#pragma once

#include <QString>
#include <optional>

// One event as the controller sends it in reply to "IM", cut into its parts. Two layouts,
// chosen by the untrimmed reply length: 31 characters with a 4-character card number, 34 with
// a 7-character one. Positions count in the reply with blanks and control characters trimmed
// from both ends, so a damaged reply may leave the last parts short.
struct EventReply
{
    static constexpr int ShortLayout = 31;
    static constexpr int LongLayout = 34;
    static constexpr int PointerLength = 7;

    QString raw; // the trimmed payload
    int layout = ShortLayout;
    QChar channel;
    QString year;
    QString month;
    QString day;
    QString hour;
    QString minute;
    QString second;
    QString card;
    QChar type;
    QChar apb;
    QChar status;
    // The alarm point or input number; sent in the same two places in both layouts.
    QString pointNumber;
    QString pointer;

    // Nothing when the length is neither of the two layouts.
    static std::optional<EventReply> parse(const QString &replyText, int replyLength);
};
