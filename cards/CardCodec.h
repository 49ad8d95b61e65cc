#pragma once

#include "CardRecord.h"

#include <QString>
#include <optional>

// The card texts on the link: "HB" reads one card number, "HA" writes one card.
namespace CardCodec {

inline constexpr int HbReplyLength = 24;
inline constexpr int MaxCardNumber = 9999999;
inline const QString EmptyCardId = QStringLiteral("0000000000000000");

// A field's whole number, or the fallback when the field holds none.
int NumberOr(const QString &field, int fallback);

// Seven digits, as the table holds card numbers.
QString TableCardNumber(int number);
// "HB" carries 4 digits up to 9999, 7 digits above.
QString ReadCardNumber(int number);
// "HA" carries 4 digits only for a "V4" controller and numbers up to 9999.
QString WriteCardNumber(int number, const QString &versionText);

// Trim, append "XXXX", keep the first four characters.
QString ApplyPinRule(const QString &entered);

// A card read with "HB"; nothing when the reply is not 24 characters or the slot is empty.
std::optional<CardRecord> DecodeReadReply(int number, const QString &replyText, int replyLength);

// The 24 characters after the card number in "HA".
QString EncodeWriteData(const CardRecord &card);

// The card number of a row when it can be written: a whole number from 1 to 9999999.
std::optional<int> CardNumberOf(const CardRecord &card);

// Why a row cannot be written as it stands; empty when it can.
QString RowProblem(const CardRecord &card);

} // namespace CardCodec
