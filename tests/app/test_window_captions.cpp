// Every caption of the windows a person opens from the main window fits its control in each
// of the three languages: a Chinese caption is as wide as an English one in characters but
// not in pixels, and a cut caption hides what a button does. A button that shows only an
// icon has a name in the window's language. KT480_SCREENSHOT_DIR keeps the
// pictures (docs/cards-*.png and others).
#include "TfrmCardData.h"
#include "TfrmComSearch.h"
#include "TfrmDownload.h"
#include "TfrmIOdata.h"
#include "TfrmNetSearch.h"
#include "TfrmParameter.h"
#include "WindowRig.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabWidget>

namespace {

QString Visible(QString caption)
{
    caption.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return caption;
}

int TextWidth(const QWidget &widget, const QString &text)
{
    int widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = qMax(widest, widget.fontMetrics().horizontalAdvance(line));
    return widest;
}

// The visible controls of `window` whose caption needs more room than the control has, as
// "name: caption".
QStringList CutCaptions(const QWidget &window)
{
    QStringList cut;
    const auto note = [&](const QWidget &widget, const QString &caption, int needs, int has) {
        cut << QStringLiteral("%1: %2 (needs %3 pixels, has %4)")
                   .arg(widget.objectName(), caption)
                   .arg(needs)
                   .arg(has);
    };
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        if (!label->isVisibleTo(&window) || label->wordWrap() || label->text().isEmpty() ||
            Qt::mightBeRichText(label->text()))
            continue;
        const int needs = TextWidth(*label, Visible(label->text()));
        if (needs > label->contentsRect().width())
            note(*label, label->text(), needs, label->contentsRect().width());
    }
    for (const QAbstractButton *button : window.findChildren<QAbstractButton *>()) {
        if (!button->isVisibleTo(&window) || button->text().isEmpty())
            continue;
        if (button->sizeHint().width() > button->width())
            note(*button, button->text(), button->sizeHint().width(), button->width());
    }
    // Every entry of a list box fits it, not only the one that shows now.
    for (const QComboBox *combo : window.findChildren<QComboBox *>()) {
        if (!combo->isVisibleTo(&window))
            continue;
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        const int has =
            combo->style()
                ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
                .width();
        for (int item = 0; item < combo->count(); ++item) {
            const int needs = TextWidth(*combo, combo->itemText(item));
            if (needs > has)
                note(*combo, combo->itemText(item), needs, has);
        }
    }
    for (const QGroupBox *group : window.findChildren<QGroupBox *>()) {
        if (!group->isVisibleTo(&window) || group->title().isEmpty())
            continue;
        const int needs = TextWidth(*group, Visible(group->title()));
        if (needs > group->width())
            note(*group, group->title(), needs, group->width());
    }
    return cut;
}

// The visible buttons of `window` that show only an icon and lack a name for a person who
// cannot see it (a hint and the name a screen reader says, the same words), or whose name is
// not in the window's language (any Chinese name holds Chinese characters), as
// "name: what is wrong".
QStringList NamelessIconButtons(const QWidget &window, int language)
{
    QStringList nameless;
    for (const QAbstractButton *button : window.findChildren<QAbstractButton *>()) {
        if (!button->isVisibleTo(&window) || !button->text().isEmpty() || button->icon().isNull())
            continue;
        const QString name = button->accessibleName();
        if (name.isEmpty() || button->toolTip() != name)
            nameless << QStringLiteral("%1: name \"%2\", hint \"%3\"")
                            .arg(button->objectName(), name, button->toolTip());
        else if (language != 0 && !name.contains(QRegularExpression(QStringLiteral("\\p{Han}"))))
            nameless
                << QStringLiteral("%1: \"%2\" is not translated").arg(button->objectName(), name);
    }
    return nameless;
}

const char *const LanguageButtons[] = {"btnEng", "btnBIG5", "btnGB"};
const char *const LanguageNames[] = {"en", "zh-tw", "zh-cn"};

} // namespace

class WindowCaptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void captionsFitInEveryLanguage_data();
    void captionsFitInEveryLanguage();
};

void WindowCaptionsTest::captionsFitInEveryLanguage_data()
{
    QTest::addColumn<int>("language");
    for (int language = 0; language < 3; ++language)
        QTest::newRow(LanguageNames[language]) << language;
}

void WindowCaptionsTest::captionsFitInEveryLanguage()
{
    QFETCH(int, language);
    const QString name = QString::fromLatin1(LanguageNames[language]);
    WindowRig rig({ControllerWithCards(3)});
    rig.writeSettings({{QStringLiteral("CardNoMin"), QStringLiteral("1")},
                       {QStringLiteral("CardNoMax"), QStringLiteral("3")}});
    StartOptions options;
    options.expert = true;
    TfrmKT480NT5 &main = rig.open(options, true);
    ClickOnScreen(Control<QPushButton>(main, LanguageButtons[language]));
    QVERIFY(rig.connectTcp());
    rig.scriptPrompts();

    QStringList cut;
    const auto look = [&](QWidget &window, const QString &picture) {
        for (const QString &caption : CutCaptions(window))
            cut << picture + QStringLiteral(" ") + caption;
        for (const QString &button : NamelessIconButtons(window, language))
            cut << picture + QStringLiteral(" ") + button;
        QVERIFY(KeepPicture(window, QStringLiteral("%1-%2.png").arg(picture, name)));
    };
    look(main, QStringLiteral("main-captions"));

    QVERIFY(WhileModal<TfrmParameter>(
        [&] { ClickOnScreen(Control<QPushButton>(main, "btnParameter")); },
        [&](TfrmParameter &window) {
            QVERIFY(QTest::qWaitFor([&] { return window.pcMain->isEnabled(); }, 10000));
            for (int tab = 0; tab < window.pcMain->count(); ++tab) {
                if (!window.pcMain->isTabVisible(tab))
                    continue;
                ClickTab(window.pcMain, tab);
                look(window, QStringLiteral("parameters-page%1").arg(tab + 1));
            }
        }));
    QVERIFY(WhileModal<TfrmCardData>([&] { ClickOnScreen(Control<QPushButton>(main, "btnCard")); },
                                     [&](TfrmCardData &window) {
                                         ClickOnScreen(Control<QPushButton>(window, "btnBackup"));
                                         QVERIFY(QTest::qWaitFor([&] { return window.isEnabled(); },
                                                                 10000));
                                         look(window, QStringLiteral("cards"));
                                     }));
    QVERIFY(WhileModal<TfrmDownload>(
        [&] { ClickOnScreen(Control<QPushButton>(main, "btnBackup")); },
        [&](TfrmDownload &window) { look(window, QStringLiteral("backup")); }));
    QVERIFY(WhileModal<TfrmDownload>(
        [&] { ClickOnScreen(Control<QPushButton>(main, "btnRestore")); },
        [&](TfrmDownload &window) { look(window, QStringLiteral("restore")); }));
    QVERIFY(WhileModal<TfrmIOdata>([&] { ClickOnScreen(Control<QPushButton>(main, "btnData")); },
                                   [&](TfrmIOdata &window) {
                                       QVERIFY(QTest::qWaitFor(
                                           [&] { return window.pnl->isEnabled(); }, 10000));
                                       look(window, QStringLiteral("records-captions"));
                                   }));
    // The searches close the link, so they come last.
    ClickTab(Control<QTabWidget>(main, "pcMain"), 0);
    QVERIFY(WhileModal<TfrmComSearch>(
        [&] { ClickOnScreen(Control<QPushButton>(main, "btnSearch01")); },
        [&](TfrmComSearch &window) { look(window, QStringLiteral("search-com-captions")); }));
    ClickTab(Control<QTabWidget>(main, "pcMain"), 1);
    QVERIFY(WhileModal<TfrmNetSearch>(
        [&] { ClickOnScreen(Control<QPushButton>(main, "btnSearch02")); },
        [&](TfrmNetSearch &window) { look(window, QStringLiteral("search-net-captions")); }));
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
}

QTEST_MAIN(WindowCaptionsTest)
#include "test_window_captions.moc"
