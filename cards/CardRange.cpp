#include "CardRange.h"

#include "CardCodec.h"
#include "Settings.h"

#include <algorithm>

CardRange CardRange::FromTexts(const QString &from, const QString &to)
{
    return {CardCodec::NumberOr(from, DefaultFrom), CardCodec::NumberOr(to, DefaultTo)};
}

CardRange CardRange::Stored(const Settings &settings)
{
    return FromTexts(settings.LoadSetting(FromSetting), settings.LoadSetting(ToSetting));
}

void CardRange::store(Settings &settings) const
{
    settings.SaveSetting(FromSetting, QString::number(from_));
    settings.SaveSetting(ToSetting, QString::number(to_));
}

int CardRange::first() const
{
    return std::max(from_, 0);
}

int CardRange::last() const
{
    return std::min(to_, CardCodec::MaxCardNumber);
}

int CardRange::count() const
{
    return static_cast<int>(std::max<qint64>(0, qint64(last()) - first() + 1));
}
