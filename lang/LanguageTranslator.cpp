#include "LanguageTranslator.h"

#include "LangLog.h"
#include "Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace {

QString LocaleSuffix(int languageIndex)
{
    switch (Language::Effective(languageIndex)) {
    case Language::TraditionalChinese:
        return QStringLiteral("zh_TW");
    case Language::SimplifiedChinese:
        return QStringLiteral("zh_CN");
    default:
        return QStringLiteral("en");
    }
}

// A loaded, installed translator; none when the catalogue cannot be loaded.
std::unique_ptr<QTranslator> Installed(const QString &name, const QString &folder)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(name, folder)) {
        qCWarning(lcLang).noquote() << "cannot load the translation" << name << "from" << folder;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

} // namespace

LanguageTranslator::~LanguageTranslator()
{
    removeInstalled();
}

QString LanguageTranslator::CatalogueName(int languageIndex)
{
    return QStringLiteral("kt480_") + LocaleSuffix(languageIndex);
}

bool LanguageTranslator::apply(int languageIndex)
{
    const int language = Language::Effective(languageIndex);
    if (language == applied_)
        return complete_;
    removeInstalled();
    applied_ = language;
    own_ = Installed(CatalogueName(language), CatalogueFolder());
    // Qt's own texts are English already.
    if (language != Language::English) {
        qt_ = Installed(QStringLiteral("qtbase_") + LocaleSuffix(language),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    complete_ = own_ && (language == Language::English || qt_);
    return complete_;
}

void LanguageTranslator::removeInstalled()
{
    for (std::unique_ptr<QTranslator> *translator : {&own_, &qt_}) {
        if (*translator)
            QCoreApplication::removeTranslator(translator->get());
        translator->reset();
    }
}
