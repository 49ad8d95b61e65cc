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
        return QString();
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
    const QString suffix = LocaleSuffix(languageIndex);
    return suffix.isEmpty() ? QString() : QStringLiteral("kt480_") + suffix;
}

bool LanguageTranslator::apply(int languageIndex)
{
    const int language = Language::Effective(languageIndex);
    if (language == applied_)
        return complete_;
    removeInstalled();
    applied_ = language;
    const QString suffix = LocaleSuffix(language);
    if (suffix.isEmpty()) {
        complete_ = true;
        return complete_;
    }
    own_ = Installed(CatalogueName(language), CatalogueFolder());
    qt_ = Installed(QStringLiteral("qtbase_") + suffix,
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    complete_ = own_ && qt_;
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
