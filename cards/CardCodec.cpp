#include "CardCodec.h"

#include <QCoreApplication>
#include <algorithm>

namespace CardCodec {

namespace {

QString digits(int value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

// An empty field stands for its default; anything else must be a whole number.
std::optional<int> fieldNumber(const QString &field, int fallback)
{
    if (field.trimmed().isEmpty())
        return fallback;
    bool ok = false;
    const int value = field.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

bool isPinCharacter(const QChar c)
{
    return c.isDigit() || c == QLatin1Char('X');
}

bool hasControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return true;
    }
    return false;
}

bool isLatin1(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

} // namespace

int NumberOr(const QString &field, int fallback)
{
    bool ok = false;
    const int value = field.trimmed().toInt(&ok);
    return ok ? value : fallback;
}

QString TableCardNumber(int number)
{
    return digits(number, 7);
}

QString ReadCardNumber(int number)
{
    return digits(number, number <= 9999 ? 4 : 7);
}

QString WriteCardNumber(int number, const QString &versionText)
{
    const bool v4 = versionText.toUpper().contains(QLatin1String("V4"));
    return digits(number, v4 && number <= 9999 ? 4 : 7);
}

QString ApplyPinRule(const QString &entered)
{
    return (entered.trimmed() + QLatin1String("XXXX")).left(4);
}

std::optional<CardRecord> DecodeReadReply(int number, const QString &replyText, int replyLength)
{
    if (replyLength != HbReplyLength)
        return std::nullopt;
    const QString data = replyText.trimmed();
    if (data.left(16) == EmptyCardId)
        return std::nullopt;
    CardRecord card;
    card.DataNO = TableCardNumber(number);
    card.DataID = data.mid(0, 16);
    card.DataApp = data.mid(16, 2);
    card.DataType = data.mid(18, 1);
    card.DataPIN = data.mid(19, 4);
    card.DataAPB = data.mid(23, 1);
    return card;
}

QString EncodeWriteData(const CardRecord &card)
{
    const QString id = (EmptyCardId + card.DataID.trimmed()).right(16);
    return id + digits(NumberOr(card.DataApp, 1), 2) + digits(NumberOr(card.DataType, 0), 1) +
           ApplyPinRule(card.DataPIN) + digits(NumberOr(card.DataAPB, 0), 1);
}

std::optional<int> CardNumberOf(const CardRecord &card)
{
    bool ok = false;
    const int number = card.DataNO.trimmed().toInt(&ok);
    if (!ok || number < 1 || number > MaxCardNumber)
        return std::nullopt;
    return number;
}

QString RowProblem(const CardRecord &card)
{
    if (!CardNumberOf(card))
        return QCoreApplication::translate(
                   "CardCodec", "card number \"%1\" is not a whole number from 1 to 9999999")
            .arg(card.DataNO);
    const QString all = card.DataID + card.DataApp + card.DataType + card.DataPIN + card.DataAPB;
    if (hasControlCharacter(all) || !isLatin1(all))
        return QCoreApplication::translate("CardCodec",
                                           "card %1 holds characters a controller cannot take")
            .arg(card.DataNO);
    // A longer ID or PIN would be cut, and a field that is no number replaced, without a
    // word: the controller would hold another card than the row shows.
    if (card.DataID.trimmed().size() > 16)
        return QCoreApplication::translate("CardCodec",
                                           "card %1: card ID \"%2\" is longer than 16 characters")
            .arg(card.DataNO, card.DataID.trimmed());
    // A space inside an ID is on no card: the controller would hold a card nobody carries.
    const QString id = card.DataID.trimmed();
    if (std::any_of(id.cbegin(), id.cend(), [](const QChar c) { return c.isSpace(); }))
        return QCoreApplication::translate("CardCodec", "card %1: card ID \"%2\" holds a space")
            .arg(card.DataNO, id);
    const QString pin = card.DataPIN.trimmed();
    if (pin.size() > 4 || !std::all_of(pin.cbegin(), pin.cend(), isPinCharacter))
        return QCoreApplication::translate("CardCodec",
                                           "card %1: PIN \"%2\" is not up to 4 digits or X")
            .arg(card.DataNO, pin);
    // Wider numbers would shift every later field of the command.
    const std::optional<int> app = fieldNumber(card.DataApp, 1);
    if (!app || *app < 0 || *app > 99)
        return QCoreApplication::translate("CardCodec",
                                           "card %1: application number \"%2\" is not 0 to 99")
            .arg(card.DataNO, card.DataApp);
    const std::optional<int> type = fieldNumber(card.DataType, 0);
    if (!type || *type < 0 || *type > 9)
        return QCoreApplication::translate("CardCodec", "card %1: type \"%2\" is not one digit")
            .arg(card.DataNO, card.DataType);
    const std::optional<int> apb = fieldNumber(card.DataAPB, 0);
    if (!apb || *apb < 0 || *apb > 9)
        return QCoreApplication::translate("CardCodec", "card %1: APB \"%2\" is not one digit")
            .arg(card.DataNO, card.DataAPB);
    return {};
}

} // namespace CardCodec
