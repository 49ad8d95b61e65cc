#pragma once

#include "ControllerData.h"

#include <QStringList>

// A controller whose answers vary: only some "AF" codes, groups of different lengths with
// a gap, "FA" past index 99, a full "BC" family, and "MD" closed by 16 zeros.
inline ControllerData VariedController()
{
    ControllerData data = ControllerData::factory();
    data.parameters = {{"AF01", "1"}, {"AF13", "077"}, {"AF17", "5"}, {"AF66", "1"}};
    data.groups.clear();
    const auto value = [](const QByteArray &code) { return code.leftJustified(8, 'v').left(8); };
    QList<QByteArray> codes{"DC",  "BD01", "BD02", "BD03", "BD05", "BE0001", "BA1",
                            "BA2", "DI",   "JE",   "DJ1",  "DJ2",  "DJ3"};
    for (int i = 1; i <= 101; ++i)
        codes << "FA" + QByteArray::number(i).rightJustified(2, '0');
    for (int i = 1; i <= 20; ++i)
        codes << "BC" + QByteArray::number(i);
    for (const QByteArray &code : codes)
        data.groups.insert(code, value(code));
    data.groups.insert("MD001", "1111222233334444");
    data.groups.insert("MD002", "5555666677778888");
    data.groups.insert("MD003", "0000000000000001");
    data.groups.insert("MD004", "0000000000000000");
    data.groups.insert("MD005", "9999999999999999");
    return data;
}

// The codes a backup of VariedController() stores, in order.
inline QStringList VariedBackupCodes()
{
    QStringList codes{"AF01", "AF13", "AF17", "AF66", "DC", "BD01", "BD02", "BD03", "BE0001"};
    for (int i = 1; i <= 101; ++i)
        codes << QStringLiteral("FA%1").arg(i, 2, 10, QLatin1Char('0'));
    codes << "BA1"
          << "BA2";
    for (int i = 1; i <= 20; ++i)
        codes << QStringLiteral("BC%1").arg(i);
    codes << "MD001"
          << "MD002"
          << "MD003"
          << "DI"
          << "JE"
          << "DJ1"
          << "DJ2"
          << "DJ3";
    return codes;
}
