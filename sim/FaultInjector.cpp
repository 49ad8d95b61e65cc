#include "FaultInjector.h"

#include "ControllerModel.h"
#include "Frame.h"

namespace {

constexpr int DeviceIdAndCode = 6;
constexpr int CrcDigits = 4;

// Replaces one CRC digit by another upper-case hexadecimal digit.
void CorruptCrc(QByteArray &frame, quint32 pick)
{
    const qsizetype at = frame.size() - 1 - CrcDigits + static_cast<qsizetype>(pick % CrcDigits);
    const char digits[] = "0123456789ABCDEF";
    const char old = frame[at];
    char replacement = digits[(pick / CrcDigits) % 16];
    if (replacement == old)
        replacement = old == '0' ? '1' : '0';
    frame[at] = replacement;
}

} // namespace

QByteArray FaultInjector::noiseBytes()
{
    // Anything but the reply start byte: line noise must not open a frame.
    static const QByteArray alphabet("\x00\x01\x02\x04\x0D\x7F\xFFzq#", 10);
    QByteArray noise;
    const int length = 1 + static_cast<int>(random_.bounded(8u));
    for (int i = 0; i < length; ++i)
        noise.append(alphabet[random_.bounded(static_cast<quint32>(alphabet.size()))]);
    return noise;
}

bool FaultInjector::loseReply(const QByteArray &commandText, const FaultSettings &faults)
{
    const std::optional<QByteArray> code = faults.lostCodeFor(commandText);
    if (!code || lost_.value(*code) >= faults.lostCodes.value(*code))
        return false;
    ++lost_[*code];
    return true;
}

QList<DeliveryPiece> FaultInjector::plan(const QByteArray &commandText, const FaultSettings &faults,
                                         const CarryOut &carryOut)
{
    const bool drop = chance(faults.dropShare);
    const bool corrupt = chance(faults.corruptShare);
    const bool late = chance(faults.lateShare);
    const quint32 corruptPick = random_.generate();
    const QByteArray noise = noiseBytes();

    if (drop || faults.isSilent(commandText) || loseReply(commandText, faults))
        return {};
    QByteArray frame;
    if (const auto letter = faults.errorFor(commandText)) {
        frame = BuildReplyFrame(ErrorReplyBody(commandText.left(DeviceIdAndCode), *letter));
    } else {
        frame = carryOut();
        if (frame.isEmpty())
            return {};
    }
    if (corrupt)
        CorruptCrc(frame, corruptPick);

    const int start = faults.lateMs > 0 && late ? faults.lateMs : 0;
    QList<DeliveryPiece> pieces;
    if (faults.noise)
        pieces.append({start, noise});
    const int count = std::clamp(faults.splitPieces, 1, static_cast<int>(frame.size()));
    const qsizetype pieceSize = (frame.size() + count - 1) / count;
    int delay = start;
    for (qsizetype at = 0; at < frame.size(); at += pieceSize) {
        pieces.append({delay, frame.mid(at, pieceSize)});
        delay += faults.splitGapMs;
    }
    if (faults.duplicateDelayMs > 0)
        pieces.append({delay + faults.duplicateDelayMs, frame});
    return pieces;
}
