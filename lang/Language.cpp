#include "Language.h"

#include "LanguageTable.h"

int Language::Effective(int languageIndex)
{
    return languageIndex >= 0 && languageIndex < LanguageColumnCount ? languageIndex : English;
}

QString Language::Text(int row, int languageIndex)
{
    return LanguageTableEntry(row, Effective(languageIndex));
}

int Language::LanguageFromLangId(int langId)
{
    constexpr int ChinesePrc = 2052;
    constexpr int ChineseTaiwan = 1028;
    if (langId == ChinesePrc)
        return SimplifiedChinese;
    if (langId == ChineseTaiwan)
        return TraditionalChinese;
    return English;
}

int Language::LanguageFromLocale(const QLocale &locale)
{
    if (locale.language() != QLocale::Chinese)
        return English;
    switch (locale.script()) {
    case QLocale::SimplifiedHanScript:
        return SimplifiedChinese;
    case QLocale::TraditionalHanScript:
        return TraditionalChinese;
    default:
        break;
    }
    switch (locale.territory()) {
    case QLocale::China:
    case QLocale::Singapore:
        return SimplifiedChinese;
    case QLocale::Taiwan:
    case QLocale::HongKong:
    case QLocale::Macao:
        return TraditionalChinese;
    default:
        return English;
    }
}
