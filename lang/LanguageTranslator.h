#pragma once

#include <QString>
#include <QTranslator>
#include <memory>

// The translations that follow the interface language: the program's own catalogue (the
// texts beyond the language table) and Qt's (the standard buttons, file dialogs). English
// installs only its own, which holds the singular and plural forms of the texts with a
// count ("1 card written", "2 cards written"). The application owns one and applies every
// change of the language index; texts built afterwards come out in the new language.
class LanguageTranslator
{
public:
    LanguageTranslator() = default;
    LanguageTranslator(const LanguageTranslator &) = delete;
    LanguageTranslator &operator=(const LanguageTranslator &) = delete;
    ~LanguageTranslator();

    // Installs the catalogues of the language (an index outside 0 to 2 means English) in
    // place of the previous ones. False when one of them could not be loaded; what could
    // be loaded is installed all the same.
    bool apply(int languageIndex);
    // The language whose catalogues are installed.
    int appliedIndex() const { return applied_; }

    // "kt480_zh_TW" for Traditional Chinese, "kt480_zh_CN" for Simplified, "kt480_en" for
    // English.
    static QString CatalogueName(int languageIndex);
    // The embedded compiled catalogues.
    static QString CatalogueFolder() { return QStringLiteral(":/translations"); }

private:
    void removeInstalled();

    // None yet: the first apply installs even English.
    int applied_ = -1;
    bool complete_ = false;
    std::unique_ptr<QTranslator> own_;
    std::unique_ptr<QTranslator> qt_;
};
