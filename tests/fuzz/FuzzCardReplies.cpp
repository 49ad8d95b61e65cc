// Cards as the card transfer meets them: any "HB" reply decoded into a card, which must reach
// the card file unchanged; and any row, from a reply or a file, that passes the row check must
// give an "HA" command text that fits the frame.
#include "CardCodec.h"
#include "CardTable.h"
#include "Frame.h"
#include "FuzzTables.h"
#include "FuzzTargets.h"
#include "TableStore.h"

#include <algorithm>

namespace {

constexpr int SmallNumber = 12;
constexpr int LargeNumber = 1234567;

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool IsHexDigit(QChar c)
{
    return IsDigit(c) || (c >= u'A' && c <= u'F');
}

// A card record as a controller holds it: 16 hexadecimal ID digits, application, type,
// PIN (digits or X) and anti-passback digit.
bool IsStoredRecord(const QString &t)
{
    if (t.size() != CardCodec::HbReplyLength)
        return false;
    const QStringView v(t);
    return std::all_of(v.begin(), v.begin() + 16, IsHexDigit) &&
           std::all_of(v.begin() + 16, v.begin() + 19, IsDigit) &&
           std::all_of(v.begin() + 19, v.begin() + 23,
                       [](QChar c) { return IsDigit(c) || c == u'X'; }) &&
           IsDigit(v.at(23));
}

void RequireWritable(const CardRecord &card)
{
    const std::optional<int> number = CardCodec::CardNumberOf(card);
    FUZZ_REQUIRE(number.has_value());
    const QString data = CardCodec::EncodeWriteData(card);
    FUZZ_REQUIRE(data.size() == CardCodec::HbReplyLength);
    for (const QString &version : {QStringLiteral("KT480NT-V5.04"), QStringLiteral("V4")}) {
        const QString command =
            QStringLiteral("0001HA") + CardCodec::WriteCardNumber(*number, version) + data;
        FUZZ_REQUIRE(std::all_of(command.begin(), command.end(),
                                 [](QChar c) { return c.unicode() <= 0xFF; }));
        FUZZ_REQUIRE(IsValidCommandText(command.toLatin1()));
    }
}

void ReadReply(const QString &reply, int number)
{
    const std::optional<CardRecord> card =
        CardCodec::DecodeReadReply(number, reply, int(reply.size()));
    if (!card)
        return;
    FUZZ_REQUIRE(reply.size() == CardCodec::HbReplyLength);
    FUZZ_REQUIRE(card->DataNO == CardCodec::TableCardNumber(number));
    TableStore table;
    CardTable::Recreate(table);
    CardTable::Append(table, *card);
    Fuzz::RequireRoundTrip(table.Content());
    if (CardCodec::RowProblem(*card).isEmpty())
        RequireWritable(*card);
    // A card the controller holds is written back exactly as it was read.
    if (IsStoredRecord(reply))
        FUZZ_REQUIRE(CardCodec::EncodeWriteData(*card) == reply);
}

} // namespace

namespace Fuzz {

void CardReplies(QByteArrayView input)
{
    const QString reply = QString::fromLatin1(input.data(), input.size());
    ReadReply(reply, SmallNumber);
    ReadReply(reply, LargeNumber);

    const QStringList fields = QString::fromUtf8(input.data(), input.size()).split(QChar(0x1F));
    const CardRecord row{fields.value(0), fields.value(1), fields.value(2),
                         fields.value(3), fields.value(4), fields.value(5)};
    if (CardCodec::RowProblem(row).isEmpty())
        RequireWritable(row);
}

} // namespace Fuzz
