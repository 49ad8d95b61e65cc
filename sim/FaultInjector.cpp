#include "FaultInjector.h"

#include "ControllerModel.h"
#include "DeviceIdText.h"
#include "Frame.h"

#include <utility>

namespace {

constexpr int DeviceIdAndCode = 6;
constexpr int CrcDigits = 4;
constexpr quint32 WrongLengthShapes = 4;

// One of the lengths a reply must not have, the CRC made for it.
QByteArray WrongLength(const QByteArray &body, FaultSettings::WrongLength shape, quint32 pick)
{
    using Shape = FaultSettings::WrongLength;
    if (shape == Shape::Random)
        shape = static_cast<Shape>(1 + pick % WrongLengthShapes);
    switch (shape) {
    case Shape::Short:
        return body.size() > DeviceIdAndCode ? body.chopped(1) : body + "00";
    case Shape::Long:
        return body + '0';
    case Shape::Echo:
        return body.size() > DeviceIdAndCode ? body.left(DeviceIdAndCode) : body + "0";
    case Shape::DeviceId:
    case Shape::Random:
        break;
    }
    return body.left(DeviceIdDigits);
}

// The body of a single reply frame; empty for other bytes, such as several overlapping replies.
QByteArray SingleReplyBody(const QByteArray &line)
{
    const qsizetype end = line.indexOf(ReplyEnd);
    if (!line.startsWith(ReplyStart) || end < 0 || line.size() != end + 1 + CrcDigits + 1)
        return {};
    return line.mid(1, end - 1);
}

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

QByteArray FaultInjector::answerFrame(const QByteArray &commandText, const FaultSettings &faults,
                                      const CarryOut &carryOut, bool wrongLength, quint32 pick)
{
    const QByteArray line = carryOut();
    const std::optional<QByteArray> data = faults.replacementFor(commandText);
    if (line.isEmpty() || (!data && !wrongLength))
        return line;
    // The data faults rework one controller's reply; a collision's garble goes out as it is.
    QByteArray body = SingleReplyBody(line);
    if (body.isEmpty())
        return line;
    if (data)
        body = body.left(DeviceIdAndCode) + *data;
    return BuildReplyFrame(wrongLength ? WrongLength(body, faults.wrongLengthShape, pick) : body);
}

QList<DeliveryPiece> FaultInjector::plan(const QByteArray &commandText, const FaultSettings &faults,
                                         const CarryOut &carryOut)
{
    const bool drop = chance(faults.dropShare);
    const bool corrupt = chance(faults.corruptShare);
    const bool late = chance(faults.lateShare);
    const quint32 corruptPick = random_.generate();
    const QByteArray noise = noiseBytes();
    // Drawn only when their faults are on, so that the other faults keep their sequence.
    const bool duplicate = faults.duplicateShare >= 1 || chance(faults.duplicateShare);
    const bool wrongLength = faults.wrongLengthShare > 0 && chance(faults.wrongLengthShare) &&
                             faults.hasWrongLength(commandText);
    const quint32 shapePick = faults.wrongLengthShare > 0 ? random_.generate() : 0;
    const bool paired = faults.pairedShare > 0 && chance(faults.pairedShare);
    const bool pairedFirst = faults.pairedShare > 0 && chance(0.5);

    if (drop || faults.isSilent(commandText) || loseReply(commandText, faults))
        return {};
    QByteArray frame;
    if (const auto letter = faults.errorFor(commandText)) {
        frame = BuildReplyFrame(ErrorReplyBody(commandText.left(DeviceIdAndCode), *letter));
    } else {
        frame = answerFrame(commandText, faults, carryOut, wrongLength, shapePick);
        if (frame.isEmpty())
            return {};
    }
    const QByteArray previous = std::exchange(previousFrame_, frame);
    if (corrupt)
        CorruptCrc(frame, corruptPick);

    const int start = faults.lateMs > 0 && late ? faults.lateMs : 0;
    QList<DeliveryPiece> pieces;
    if (faults.noise)
        pieces.append({start, noise});
    if (paired && !previous.isEmpty()) {
        pieces.append({start, pairedFirst ? previous + frame : frame + previous});
        return pieces;
    }
    const int count = std::clamp(faults.splitPieces, 1, static_cast<int>(frame.size()));
    const qsizetype pieceSize = (frame.size() + count - 1) / count;
    int delay = start;
    for (qsizetype at = 0; at < frame.size(); at += pieceSize) {
        pieces.append({delay, frame.mid(at, pieceSize)});
        delay += faults.splitGapMs;
    }
    if (faults.duplicateDelayMs > 0 && duplicate)
        pieces.append({delay + faults.duplicateDelayMs, frame});
    return pieces;
}
