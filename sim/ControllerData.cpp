#include "ControllerData.h"

#include "Digits.h"
#include "GroupFamily.h"

namespace {

} // namespace

ControllerData ControllerData::factory(int deviceId, int recordsPerGroup)
{
    ControllerData d;
    d.deviceId = deviceId;
    d.parameters = FactoryParameters();
    d.groups = DefaultGroupRecords(recordsPerGroup);
    return d;
}

QMap<QByteArray, QByteArray> FactoryParameters()
{
    return {
        {"AF01", "0"},    {"AF02", "0"}, {"AF11", "000"},  {"AF12", "002"}, {"AF13", "120"},
        {"AF14", "0060"}, {"AF15", "3"}, {"AF16", "0030"}, {"AF17", "0"},   {"AF18", "0000"},
        {"AF41", "0"},    {"AF42", "0"}, {"AF43", "1"},    {"AF44", "1"},   {"AF45", "1"},
        {"AF46", "0"},    {"AF47", "0"}, {"AF48", "0"},    {"AF61", "0"},   {"AF62", "000"},
        {"AF63", "005"},  {"AF64", "0"}, {"AF65", "000"},  {"AF66", "0"},
    };
}

QMap<QByteArray, QByteArray> DefaultGroupRecords(int recordsPerGroup)
{
    QMap<QByteArray, QByteArray> records;
    const QList<GroupFamily> &families = GroupFamily::all();
    for (int f = 0; f < families.size(); ++f) {
        const GroupFamily &family = families[f];
        const int count = family.single ? 1 : recordsPerGroup;
        // Distinct, recognisable values: family number, then the index.
        for (int i = 1; i <= count; ++i)
            records.insert(family.code(i), Digits(f + 1, 2) + Digits(i, family.valueWidth - 2));
        if (family.letters == "MD")
            records.insert(family.code(count + 1), QByteArray(family.valueWidth, '0'));
    }
    return records;
}

QByteArray EncodedCardRecord(const QByteArray &id16, int app, int type, const QByteArray &pin4,
                             int apb)
{
    return id16.rightJustified(16, '0').right(16) + Digits(app, 2) + Digits(type, 1) +
           pin4.leftJustified(4, 'X').left(4) + Digits(apb, 1);
}

QMap<int, QByteArray> GeneratedCards(int count)
{
    QMap<int, QByteArray> cards;
    for (int n = 1; n <= count; ++n) {
        const QByteArray pin = n % 3 == 0 ? Digits(n % 10000, 4) : QByteArray("XXXX");
        cards.insert(n, EncodedCardRecord(Digits(3000000000LL + n * 7LL, 16), 1 + n % 4, n % 2, pin,
                                          (n / 2) % 2));
    }
    return cards;
}

QByteArray EventPayload(int channel, const QDateTime &at, const QByteArray &cardNumber, char type,
                        int apb, int status, int pointer)
{
    return Digits(channel, 1) + at.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() +
           cardNumber + type + "00" + Digits(apb, 1) + Digits(status, 1) + Digits(pointer, 7);
}

QList<QByteArray> GeneratedEvents(int count)
{
    struct Kind
    {
        char type;
        int status;
    };
    static constexpr Kind kinds[] = {{'A', 1}, {'A', 2}, {'B', 2}, {'E', 1}, {'C', 1}, {'D', 1}};
    const QDateTime start(QDate(2008, 9, 22), QTime(14, 5, 9));
    QList<QByteArray> events;
    for (int i = 0; i < count; ++i) {
        const Kind kind = kinds[i % std::size(kinds)];
        // Alternate the two layouts: 4-digit and 7-digit card numbers.
        const QByteArray card = i % 2 == 0 ? Digits((1 + i) % 10000, 4) : Digits(10000 + i, 7);
        events << EventPayload(1 + i % 4, start.addSecs(60LL * i), card, kind.type, i % 2,
                               kind.status, i + 1);
    }
    return events;
}

QByteArray EventPointer(const QByteArray &payload)
{
    return payload.right(7);
}
