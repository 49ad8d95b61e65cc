#include "ControllerModel.h"

#include "ControllerState.h"
#include "DeviceIdText.h"
#include "Digits.h"
#include "Frame.h"
#include "GroupFamily.h"

#include <algorithm>

namespace {

constexpr int CardRecordLength = 24;
constexpr int ShortCardDigits = 4;
constexpr int LongCardDigits = 7;
constexpr int PointerDigits = 7;
const QString ClockFormat = QStringLiteral("yyyyMMddHHmmss");

bool IsDigits(QByteArrayView text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsCardRecord(QByteArrayView r)
{
    const auto idOk = std::all_of(r.begin(), r.begin() + 16, [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    });
    const auto pinOk = std::all_of(r.begin() + 19, r.begin() + 23,
                                   [](char c) { return (c >= '0' && c <= '9') || c == 'X'; });
    return r.size() == CardRecordLength && idOk && IsDigits(r.sliced(16, 3)) && pinOk &&
           IsDigits(r.sliced(23, 1));
}

} // namespace

QByteArray ErrorReplyBody(const QByteArray &echo, char letter)
{
    return echo + ErrorMark + letter;
}

ControllerModel::ControllerModel(ControllerState &state, Clock clock)
    : state_(state),
      clock_(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); }))
{
}

bool ControllerModel::answers(const QByteArray &commandText) const
{
    if (commandText.size() < DeviceIdDigits + 2 || !IsDigits(commandText.first(DeviceIdDigits)))
        return false;
    const int addressed = commandText.first(DeviceIdDigits).toInt();
    if (addressed == 0)
        return commandText.sliced(DeviceIdDigits) == "AC";
    return addressed == state_.deviceId();
}

QByteArray ControllerModel::handleRequest(const QByteArray &commandText)
{
    if (commandText.size() < DeviceIdDigits + 2 || !IsDigits(commandText.first(DeviceIdDigits)))
        return {};
    const int addressed = commandText.first(DeviceIdDigits).toInt();
    const Command c{commandText.mid(DeviceIdDigits, 2), commandText.mid(DeviceIdDigits + 2),
                    commandText.first(DeviceIdDigits + 2)};
    QByteArray body;
    state_.modify([&](ControllerData &d) {
        bool changed = false;
        const QByteArray ownId = Digits(d.deviceId, DeviceIdDigits);
        if (addressed == 0) {
            // The broadcast asks any controller for its own Device ID.
            if (c.code == "AC" && c.rest.isEmpty())
                body = ownId + "AC" + d.serialNumber;
        } else if (addressed == d.deviceId) {
            body = answer(d, c, changed);
        }
        return changed;
    });
    return body;
}

QByteArray ControllerModel::answer(ControllerData &d, const Command &c, bool &changed) const
{
    const QByteArray &code = c.code;
    if (code == "AS" && c.rest.isEmpty())
        return c.echo + d.serialNumber;
    if (code == "DB" && c.rest.isEmpty())
        return c.echo + d.versionText;
    if (code == "AN" && c.rest.isEmpty())
        return sdStatus(d, c, changed);
    if (code == "AL")
        return sdStart(d, c, changed);
    if ((code == "AB" || code == "QB") && c.rest.isEmpty())
        return clockRead(d, c);
    if (code == "AA")
        return clockSet(d, c, changed);
    if (code == "AF")
        return parameter(d, c, changed);
    if (code == "AR" && c.rest == "00")
        return c.echo;
    if (code == "HB")
        return cardRead(d, c);
    if (code == "HA")
        return cardWrite(d, c, changed);
    if (code == "HK" && c.rest.isEmpty()) {
        changed = !d.cards.isEmpty();
        d.cards.clear();
        return c.echo;
    }
    if (code == "ID" && c.rest.isEmpty())
        return c.echo + QByteArray::number(d.events.size());
    if (code == "IM" && c.rest.isEmpty())
        return d.events.isEmpty() ? ErrorReplyBody(c.echo, 'A') : c.echo + d.events.first();
    if (code == "IN")
        return eventAck(d, c, changed);
    return group(d, c, changed);
}

int ControllerModel::sdProcessed(const ControllerData &d) const
{
    const qint64 elapsedMs = clock_().toMSecsSinceEpoch() - d.sd.startedAtMs;
    qint64 processed = std::max<qint64>(0, elapsedMs) * d.sd.countsPerSecond / 1000;
    if (d.sd.stallAt >= 0)
        processed = std::min<qint64>(processed, d.sd.stallAt);
    return static_cast<int>(std::min<qint64>(processed, d.sd.total));
}

void ControllerModel::advanceSd(ControllerData &d, bool &changed) const
{
    if (d.sd.running != 0 && sdProcessed(d) >= d.sd.total) {
        d.sd.running = 0;
        changed = true;
    }
}

QByteArray ControllerModel::sdStatus(ControllerData &d, const Command &c, bool &changed) const
{
    advanceSd(d, changed);
    const int idleCount = d.sd.announcedTotal >= 0 ? d.sd.announcedTotal : d.sd.total;
    const int count = d.sd.running == 0 ? idleCount : sdProcessed(d);
    return c.echo + Digits(d.sd.running, 1) + Digits(std::min(count, 9999), 4) +
           Digits(d.sd.sectors, 7);
}

QByteArray ControllerModel::sdStart(ControllerData &d, const Command &c, bool &changed) const
{
    const QByteArray &r = c.rest;
    if (r.size() != 3 || (r[0] != 'B' && r[0] != 'R') || !IsDigits(r.sliced(1)))
        return ErrorReplyBody(c.echo, 'B');
    advanceSd(d, changed);
    // No card, or a copy already running: refused.
    if (d.sd.sectors <= 0 || d.sd.running != 0)
        return ErrorReplyBody(c.echo, 'C');
    d.sd.running = r[0] == 'B' ? 1 : 2;
    d.sd.slot = r.sliced(1).toInt();
    d.sd.startedAtMs = clock_().toMSecsSinceEpoch();
    changed = true;
    return c.echo;
}

QByteArray ControllerModel::clockRead(const ControllerData &d, const Command &c) const
{
    const QDateTime now = clock_().addMSecs(d.clockOffsetMs);
    QByteArray echo = c.echo;
    // This model family answers the alternative clock read with the ordinary code.
    if (c.code == "QB" && d.versionText.toUpper().contains("KT760NT"))
        echo.replace(DeviceIdDigits, 2, "AB");
    return echo + now.toString(ClockFormat).toLatin1();
}

QByteArray ControllerModel::clockSet(ControllerData &d, const Command &c, bool &changed) const
{
    if (c.rest.size() != 14 || !IsDigits(c.rest))
        return ErrorReplyBody(c.echo, 'B');
    const QDateTime set = QDateTime::fromString(QString::fromLatin1(c.rest), ClockFormat);
    if (!set.isValid())
        return ErrorReplyBody(c.echo, 'B');
    d.clockOffsetMs = clock_().msecsTo(set);
    changed = true;
    return c.echo;
}

QByteArray ControllerModel::parameter(ControllerData &d, const Command &c, bool &changed) const
{
    const QByteArray &r = c.rest;
    if (r.size() < 2 || !IsDigits(r.first(2)))
        return ErrorReplyBody(c.echo, 'A');
    const bool read = r.size() == 2 || r == "100";
    const QByteArray code = "AF" + (read ? r : r.first(2));
    const auto it = d.parameters.find(code);
    // The controller keeps a slot for every code up to AF100: one it does not use reads
    // as empty, and cannot be written.
    if (it == d.parameters.end())
        return read ? c.echo : ErrorReplyBody(c.echo, 'A');
    if (read)
        return c.echo + it.value();
    const QByteArray value = r.sliced(2);
    changed = it.value() != value;
    it.value() = value;
    // A write echoes the whole four-character code and nothing more.
    return c.echo + r.first(2);
}

QByteArray ControllerModel::cardRead(const ControllerData &d, const Command &c) const
{
    const QByteArray &r = c.rest;
    if ((r.size() != ShortCardDigits && r.size() != LongCardDigits) || !IsDigits(r))
        return ErrorReplyBody(c.echo, 'B');
    return c.echo + d.cards.value(r.toInt(), EmptyCardRecord);
}

QByteArray ControllerModel::cardWrite(ControllerData &d, const Command &c, bool &changed) const
{
    const QByteArray &r = c.rest;
    const qsizetype digits = r.size() - CardRecordLength;
    if ((digits != ShortCardDigits && digits != LongCardDigits) || !IsDigits(r.first(digits)) ||
        !IsCardRecord(QByteArrayView(r).sliced(digits)))
        return ErrorReplyBody(c.echo, 'B');
    const int number = r.first(digits).toInt();
    QByteArray record = r.sliced(digits);
    if (d.garbledCardNumbers.contains(number))
        record[15] = record[15] == '0' ? '1' : '0';
    // Writing the empty ID frees the card number.
    if (record.startsWith(QByteArray(16, '0'))) {
        changed = d.cards.remove(number) > 0;
    } else {
        changed = d.cards.value(number) != record;
        d.cards.insert(number, record);
    }
    return c.echo;
}

QByteArray ControllerModel::eventAck(ControllerData &d, const Command &c, bool &changed) const
{
    // A command lost on its way: neither carried out nor answered.
    if (d.lostAcknowledgements > 0) {
        --d.lostAcknowledgements;
        changed = true;
        return {};
    }
    if (c.rest.size() != PointerDigits)
        return ErrorReplyBody(c.echo, 'B');
    // Only the event at the head goes; a repeated acknowledgement of an event already gone is
    // answered and changes nothing.
    if (!d.events.isEmpty() && EventPointer(d.events.first()) == c.rest) {
        d.events.removeFirst();
        changed = true;
    }
    return c.echo;
}

QByteArray ControllerModel::group(ControllerData &d, const Command &c, bool &changed) const
{
    const GroupFamily *family = GroupFamily::find(c.code);
    if (!family)
        return ErrorReplyBody(c.echo, 'A');
    const QByteArray &r = c.rest;
    QByteArray code;
    QByteArray value;
    if (family->single) {
        code = family->letters;
        value = r;
    } else if (r.size() > family->valueWidth) {
        code = family->letters + r.first(r.size() - family->valueWidth);
        value = r.right(family->valueWidth);
    } else {
        code = family->letters + r;
    }
    if (value.isEmpty()) {
        const auto it = d.groups.constFind(code);
        return it == d.groups.cend() ? ErrorReplyBody(c.echo, 'A') : c.echo + it.value();
    }
    changed = d.groups.value(code) != value;
    d.groups.insert(code, value);
    return c.echo;
}
