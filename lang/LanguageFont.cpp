#include "LanguageFont.h"

#include "Language.h"

#include <QPalette>
#include <QStringList>
#include <QWidget>

namespace {

constexpr int WindowPointSize = 10;
constexpr int ChineseReportPointSize = 12;

QStringList FamiliesOf(int languageIndex)
{
    switch (Language::Effective(languageIndex)) {
    case Language::TraditionalChinese:
        return {QStringLiteral("細明體"), QStringLiteral("MingLiU"),
                QStringLiteral("Noto Sans CJK TC"), QStringLiteral("Noto Sans Mono CJK TC"),
                QStringLiteral("AR PL UMing TW")};
    case Language::SimplifiedChinese:
        return {QStringLiteral("宋体"), QStringLiteral("SimSun"),
                QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans Mono CJK SC"),
                QStringLiteral("AR PL UMing CN")};
    default:
        return {QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"),
                QStringLiteral("Liberation Sans"), QStringLiteral("Sans Serif")};
    }
}

QFont PlainFont(int languageIndex, int pointSize)
{
    QFont font;
    font.setFamilies(FamiliesOf(languageIndex));
    font.setPointSize(pointSize);
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

} // namespace

QFont LanguageFont(int languageIndex)
{
    return PlainFont(languageIndex, WindowPointSize);
}

QFont ReportFont(int languageIndex)
{
    const bool chinese = Language::Effective(languageIndex) != Language::English;
    return PlainFont(languageIndex, chinese ? ChineseReportPointSize : WindowPointSize);
}

void ApplyLanguageFont(QWidget *window, int languageIndex)
{
    if (!window)
        return;
    window->setFont(LanguageFont(languageIndex));
    QPalette palette = window->palette();
    // Disabled texts keep the style's grey so that disabled controls still look disabled.
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        for (const QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(group, role, Qt::black);
    }
    window->setPalette(palette);
}
