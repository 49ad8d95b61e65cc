#include "FaultSettings.h"

#include "DeviceIdText.h"

#include <QString>
#include <algorithm>

namespace {

bool Matches(const QByteArray &commandText, const QByteArray &code)
{
    return commandText.mid(DeviceIdDigits).startsWith(code);
}

} // namespace

FaultSettings FaultSettings::combined(const FaultSettings &a, const FaultSettings &b)
{
    FaultSettings f;
    f.dropShare = std::max(a.dropShare, b.dropShare);
    f.corruptShare = std::max(a.corruptShare, b.corruptShare);
    f.lateMs = std::max(a.lateMs, b.lateMs);
    f.lateShare = a.lateMs >= b.lateMs ? a.lateShare : b.lateShare;
    f.splitPieces = std::max(a.splitPieces, b.splitPieces);
    f.splitGapMs = std::max(a.splitGapMs, b.splitGapMs);
    f.noise = a.noise || b.noise;
    f.duplicateDelayMs = std::max(a.duplicateDelayMs, b.duplicateDelayMs);
    f.duplicateShare =
        a.duplicateDelayMs >= b.duplicateDelayMs ? a.duplicateShare : b.duplicateShare;
    f.wrongLengthShare = std::max(a.wrongLengthShare, b.wrongLengthShare);
    f.wrongLengthCodes = a.wrongLengthCodes + b.wrongLengthCodes;
    f.wrongLengthShape =
        a.wrongLengthShape != WrongLength::Random ? a.wrongLengthShape : b.wrongLengthShape;
    f.pairedShare = std::max(a.pairedShare, b.pairedShare);
    f.errorCodes = a.errorCodes;
    f.errorCodes.insert(b.errorCodes);
    f.silentCodes = a.silentCodes + b.silentCodes;
    f.lostCodes = a.lostCodes;
    for (auto it = b.lostCodes.cbegin(); it != b.lostCodes.cend(); ++it)
        f.lostCodes[it.key()] = std::max(f.lostCodes.value(it.key()), it.value());
    f.replacedData = a.replacedData;
    f.replacedData.insert(b.replacedData);
    return f;
}

std::optional<char> FaultSettings::errorFor(const QByteArray &commandText) const
{
    for (auto it = errorCodes.cbegin(); it != errorCodes.cend(); ++it) {
        if (Matches(commandText, it.key()))
            return it.value();
    }
    return std::nullopt;
}

bool FaultSettings::isSilent(const QByteArray &commandText) const
{
    return std::any_of(silentCodes.cbegin(), silentCodes.cend(),
                       [&](const QByteArray &code) { return Matches(commandText, code); });
}

std::optional<QByteArray> FaultSettings::lostCodeFor(const QByteArray &commandText) const
{
    for (auto it = lostCodes.cbegin(); it != lostCodes.cend(); ++it) {
        if (Matches(commandText, it.key()))
            return it.key();
    }
    return std::nullopt;
}

bool FaultSettings::hasWrongLength(const QByteArray &commandText) const
{
    return wrongLengthShare > 0 &&
           (wrongLengthCodes.isEmpty() ||
            std::any_of(wrongLengthCodes.cbegin(), wrongLengthCodes.cend(),
                        [&](const QByteArray &code) { return Matches(commandText, code); }));
}

std::optional<QByteArray> FaultSettings::replacementFor(const QByteArray &commandText) const
{
    for (auto it = replacedData.cbegin(); it != replacedData.cend(); ++it) {
        if (Matches(commandText, it.key()))
            return it.value();
    }
    return std::nullopt;
}

bool FaultSettings::addReplacedData(const QString &text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    // The data goes into a reply body, which never holds a framing byte.
    const QString data = text.mid(colon + 1);
    if (std::any_of(data.cbegin(), data.cend(),
                    [](QChar c) { return c.unicode() < 0x20 || c.unicode() > 0x7E; }))
        return false;
    replacedData.insert(text.left(colon).toLatin1(), text.mid(colon + 1).toLatin1());
    return true;
}

bool FaultSettings::addErrorCode(const QString &text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon <= 0 || colon != text.size() - 2)
        return false;
    const char letter = text.back().toLatin1();
    if (letter < 'A' || letter > 'Z')
        return false;
    errorCodes.insert(text.left(colon).toLatin1(), letter);
    return true;
}
