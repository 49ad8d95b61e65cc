#pragma once

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <optional>

// Faults a simulated line or controller puts into its replies. Shares are between 0 and 1.
// Codes match the text after the Device ID by prefix ("AS", or "AF13" for one parameter).
struct FaultSettings
{
    // How a reply of the wrong length is cut or stretched.
    enum class WrongLength
    {
        Random,  // each reply one of the shapes below
        Short,   // the data one character short
        Long,    // the data one character long
        Echo,    // the echo alone, no data
        DeviceId // the Device ID alone
    };

    double dropShare = 0;
    double corruptShare = 0; // replies whose CRC digits are wrong
    int lateMs = 0;
    double lateShare = 1; // share of replies that are late when lateMs is set
    int splitPieces = 1;  // a reply written in this many pieces
    int splitGapMs = 5;
    bool noise = false;        // line noise before each reply (on UDP a datagram of its own)
    int duplicateDelayMs = 0;  // replies are sent again this long after them
    double duplicateShare = 1; // share of replies sent again when duplicateDelayMs is set
    // Replies whose data is cut or stretched with the CRC still right: one character less or
    // more, the echo alone, or the Device ID alone.
    double wrongLengthShare = 0;
    QSet<QByteArray> wrongLengthCodes; // the codes wrongLengthShare touches; empty: every code
    WrongLength wrongLengthShape = WrongLength::Random;
    // Replies that go out in one write together with the line's previous reply (before or
    // after it): two frames at once.
    double pairedShare = 0;
    QMap<QByteArray, char> errorCodes;         // answered with the error reply 0x0E + letter
    QSet<QByteArray> silentCodes;              // never answered
    QMap<QByteArray, int> lostCodes;           // the first n requests of the code go unanswered
    QMap<QByteArray, QByteArray> replacedData; // answered with the echo and this data instead

    bool operator==(const FaultSettings &) const = default;

    // Both sets of faults at once: the larger share or delay, the union of the codes.
    static FaultSettings combined(const FaultSettings &a, const FaultSettings &b);

    // The error letter for a command text, if its code is listed.
    std::optional<char> errorFor(const QByteArray &commandText) const;
    bool isSilent(const QByteArray &commandText) const;
    // The listed code of lostCodes that matches the command text, if any.
    std::optional<QByteArray> lostCodeFor(const QByteArray &commandText) const;
    bool hasWrongLength(const QByteArray &commandText) const;
    // The data that replaces the controller's answer to a command text, if its code is listed.
    std::optional<QByteArray> replacementFor(const QByteArray &commandText) const;

    // "CODE:LETTER", e.g. "AS:C"; false when malformed.
    bool addErrorCode(const QString &text);
    // "CODE:DATA", e.g. "AB:20241340" (the data may be empty); false when malformed.
    bool addReplacedData(const QString &text);
};
