#pragma once

#include "TextRow.h"

#include <QLocale>
#include <QString>

// The user-interface language of the process: which column of the language table is shown.
// The index is kept as stored (settings may hold any integer) but every lookup treats a value
// outside 0 to 2 as English, so nothing ever reads outside the table.
class Language
{
public:
    static constexpr int English = 0;
    static constexpr int TraditionalChinese = 1; // Big5, code page 950
    static constexpr int SimplifiedChinese = 2;  // GB2312, code page 936

    explicit Language(int languageIndex = English) : storedIndex(languageIndex) {}

    int LanguageIndex() const { return storedIndex; }
    void SetLanguageIndex(int languageIndex) { storedIndex = languageIndex; }

    // The column actually shown: the stored index, or English when it is out of range.
    int EffectiveIndex() const { return Effective(storedIndex); }

    // The row's text in the current language; empty for a row outside the table.
    QString TableText(TextRow row) const { return Text(static_cast<int>(row), storedIndex); }
    QString TableText(int row) const { return Text(row, storedIndex); }

    static int Effective(int languageIndex);
    static QString Text(int row, int languageIndex);

    // Windows language identifiers: 2052 Chinese (PRC), 1028 Chinese (Taiwan), others English.
    static int LanguageFromLangId(int langId);
    // Simplified script, mainland China or Singapore give 2; Traditional script, Taiwan, Hong
    // Kong or Macao give 1; every other locale 0.
    static int LanguageFromLocale(const QLocale &locale);
    static int LanguageFromSystem() { return LanguageFromLocale(QLocale::system()); }

private:
    int storedIndex;
};
