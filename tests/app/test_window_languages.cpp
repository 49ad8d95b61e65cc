// The texts beyond the language table follow the language buttons: windows opened after a
// switch show them in the new language, and so do Qt's own buttons of the message boxes.
#include "TfrmCardData.h"
#include "TfrmComSearch.h"
#include "TfrmIOdata.h"
#include "WindowRig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

// What a message box showed before a person answered it No.
struct BoxSeen
{
    bool seen = false;
    QString text;
    QString yes;
    QString no;
};

// Answers the next message box No through the window system, after noting what it shows
// and keeping its picture under `pictureName`. The watch ends with `scope`.
void AnswerNextBoxNo(QObject &scope, BoxSeen &seen, const QString &pictureName)
{
    auto *poll = new QTimer(&scope);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, &seen, pictureName] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->stop();
        seen.seen = KeepPicture(*box, pictureName);
        seen.text = box->text();
        if (QAbstractButton *yes = box->button(QMessageBox::Yes))
            seen.yes = yes->text();
        if (QAbstractButton *no = box->button(QMessageBox::No)) {
            seen.no = no->text();
            ClickOnScreen(no);
        } else {
            box->reject();
        }
    });
    poll->start();
}

// The serial search window's "Thorough" box, opened by the Com tab's Search button. The
// search closes the link.
QString ThoroughCaption(TfrmKT480NT5 &main)
{
    ClickTab(Control<QTabWidget>(main, "pcMain"), 0);
    QString caption;
    WhileModal<TfrmComSearch>([&] { ClickOnScreen(Control<QPushButton>(main, "btnSearch01")); },
                              [&](TfrmComSearch &search) {
                                  caption = Control<QCheckBox>(search, "chkThorough")->text();
                              });
    return caption;
}

// The record window's Export PDF button, the window opened without a link (nothing to ask
// the controller, so it can close at once).
QString ExportPdfCaption(TfrmKT480NT5 &main)
{
    QString caption;
    WhileModal<TfrmIOdata>([&] { ClickOnScreen(Control<QPushButton>(main, "btnData")); },
                           [&](TfrmIOdata &records) { caption = records.btnExportPdf->text(); });
    return caption;
}

// Reads the cards in the card window; card 4 is refused, so the window asks whether to read
// it again, and the question is answered No.
BoxSeen RereadQuestion(TfrmKT480NT5 &main, const QString &pictureName)
{
    BoxSeen seen;
    QObject scope;
    AnswerNextBoxNo(scope, seen, pictureName);
    WhileModal<TfrmCardData>(
        [&] { ClickOnScreen(Control<QPushButton>(main, "btnCard")); },
        [&](TfrmCardData &cards) { ClickOnScreen(Control<QPushButton>(cards, "btnBackup")); });
    return seen;
}

} // namespace

class WindowLanguagesTest : public QObject
{
    Q_OBJECT

private slots:
    void addedTextsFollowTheLanguageButtons_data();
    void addedTextsFollowTheLanguageButtons();
};

void WindowLanguagesTest::addedTextsFollowTheLanguageButtons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("thorough");
    QTest::addColumn<QString>("exportPdf");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("yes");
    QTest::addColumn<QString>("no");
    QTest::addColumn<QString>("saveLog");
    QTest::newRow("Traditional") << u"zh-tw"_qs << u"btnBIG5"_qs << u"完整搜尋"_qs << u"匯出 PDF"_qs
                                 << u"Error!\n\n有 1 個卡片編號無法讀取：4\n\n卡片清單不完整。"
                                    u"要重新讀取這些卡片編號嗎？"_qs
                                 << u"是(&Y)"_qs << u"否(&N)"_qs << u"儲存通訊記錄…"_qs;
    QTest::newRow("Simplified") << u"zh-cn"_qs << u"btnGB"_qs << u"完整搜索"_qs << u"导出 PDF"_qs
                                << u"Error!\n\n有 1 个卡片编号无法读取：4\n\n卡片列表不完整。"
                                   u"要重新读取这些卡片编号吗？"_qs
                                << u"是(&Y)"_qs << u"否(&N)"_qs << u"保存通讯日志…"_qs;
}

void WindowLanguagesTest::addedTextsFollowTheLanguageButtons()
{
    QFETCH(QString, name);
    QFETCH(QString, button);
    QFETCH(QString, thorough);
    QFETCH(QString, exportPdf);
    QFETCH(QString, question);
    QFETCH(QString, yes);
    QFETCH(QString, no);
    QFETCH(QString, saveLog);
    WindowRig rig({ControllerWithCards(6)});
    rig.writeSettings({{QStringLiteral("CardNoMin"), QStringLiteral("1")},
                       {QStringLiteral("CardNoMax"), QStringLiteral("6")}});
    StartOptions options;
    options.expert = true;
    TfrmKT480NT5 &w = rig.open(options, true);
    QVERIFY(rig.connectTcp());
    FaultSettings faults;
    faults.errorCodes.insert("HB0004", 'A');
    rig.sim().setFaults(faults);
    QPushButton *saveLogButton = Control<QPushButton>(w, "btnSaveLog");
    QCOMPARE(saveLogButton->text(), u"Save log…"_qs);

    ClickOnScreen(Control<QPushButton>(w, button.toLatin1().constData()));
    QCOMPARE(saveLogButton->text(), saveLog);
    const BoxSeen chinese = RereadQuestion(w, u"reread-%1.png"_qs.arg(name));
    QVERIFY(chinese.seen);
    QCOMPARE(chinese.text, question);
    QCOMPARE(chinese.yes, yes);
    QCOMPARE(chinese.no, no);
    QCOMPARE(ThoroughCaption(w), thorough);
    QCOMPARE(ExportPdfCaption(w), exportPdf);

    ClickOnScreen(Control<QPushButton>(w, "btnEng"));
    QCOMPARE(saveLogButton->text(), u"Save log…"_qs);
    QVERIFY(rig.connectTcp());
    const BoxSeen english = RereadQuestion(w, u"reread-en.png"_qs);
    QVERIFY(english.seen);
    QCOMPARE(english.text, u"Error!\n\n1 card number could not be read: 4\n\nThe card list is "
                           u"not complete. Read this number again?"_qs);
    QCOMPARE(english.yes, u"&Yes"_qs);
    QCOMPARE(english.no, u"&No"_qs);
    QCOMPARE(ThoroughCaption(w), u"Thorough"_qs);
    QCOMPARE(ExportPdfCaption(w), u"Export PDF"_qs);
}

QTEST_MAIN(WindowLanguagesTest)
#include "test_window_languages.moc"
