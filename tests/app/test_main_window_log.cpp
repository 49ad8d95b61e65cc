// The log panel's "Save log…": the link's trace, frames in hex beside the log lines, written
// to the file the user names, as support needs it from a site.
#include "WindowRig.h"

#include <QAbstractButton>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Fifteen clicks on the empty stretch between Exit and the language buttons.
void showLogPanel(TfrmKT480NT5 &w)
{
    QWidget *panel = Control<QWidget>(w, "pnlMain");
    QPushButton *exit = Control<QPushButton>(w, "btnExit");
    const int gapTop = exit->mapTo(panel, QPoint(0, exit->height())).y();
    const int gapBottom = Control<QPushButton>(w, "btnEng")->mapTo(panel, QPoint(0, 0)).y();
    const QPoint empty(panel->width() / 2, (gapTop + gapBottom) / 2);
    for (int click = 0; click < 15; ++click)
        ClickOnScreen(panel, empty);
}

} // namespace

class MainWindowLogTest : public QObject
{
    Q_OBJECT

private slots:
    void saveLogWritesTheTraceOfTheLink()
    {
        WindowRig rig;
        TfrmKT480NT5 &w = rig.open();
        ScriptedPrompt &prompt = rig.scriptPrompts();
        QVERIFY(rig.connectTcp());
        showLogPanel(w);
        QPushButton *saveLog = Control<QPushButton>(w, "btnSaveLog");
        QVERIFY(saveLog->isVisible());
        QCOMPARE(saveLog->text(), QStringLiteral("Save log…"));

        // Cancelled: nothing is written.
        prompt.fileName.clear();
        ClickOnScreen(saveLog);
        QCOMPARE(prompt.dialogs.size(), 1);
        QVERIFY(prompt.dialogs.first().endsWith(QLatin1String(".txt")));

        const QString path = rig.path(QStringLiteral("trace.txt"));
        prompt.fileName = path;
        ClickOnScreen(saveLog);
        const QString saved = readAll(path);
        QVERIFY2(saved.contains(QLatin1String(" tx 01 30 30 30 31 41 53 02 ")), qPrintable(saved));
        QVERIFY(
            saved.contains(QLatin1String(" rx 03 30 30 30 31 41 53 31 32 33 34 35 36 37 38 04")));
        QVERIFY(saved.contains(QLatin1String(" log 01[0001AS] 12345678(8)")));
        QVERIFY(prompt.messages.isEmpty());

        // "Clear" empties the log and its trace alike.
        ClickOnScreen(Control<QWidget>(w, "Panel2"));
        ClickOnScreen(saveLog);
        QVERIFY(!readAll(path).contains(QLatin1String("[0001AS]")));

        // A file that cannot be written is said so.
        prompt.fileName = rig.path(QStringLiteral("no-such-folder/trace.txt"));
        ClickOnScreen(saveLog);
        QCOMPARE(prompt.messages.size(), 1);
        QVERIFY(prompt.messages.first().startsWith(QLatin1String("Error!\n")));
        QVERIFY(prompt.messages.first().contains(QLatin1String("no-such-folder")));
    }

    // The program's own log messages (a caught error, a refused address) show in the panel.
    void programMessagesShowInTheLogPanel()
    {
        WindowRig rig;
        TfrmKT480NT5 &w = rig.open();
        QVERIFY(rig.settle());
        showLogPanel(w);
        ClickTab(Control<QTabWidget>(w, "pcMain"), 1);
        TypeInto(Control<QLineEdit>(w, "edtIP"), QStringLiteral("192.0.2.1"));
        ClickOnScreen(Control<QPushButton>(w, "btnConnect02"));
        QVERIFY(rig.settle());
        QTRY_VERIFY(
            Control<QPlainTextEdit>(w, "Memo1")
                ->toPlainText()
                .contains(QLatin1String("kt480.link warning: 192.0.2.1 is outside 127.0.0.0/8")));
    }
};

QTEST_MAIN(MainWindowLogTest)
#include "test_main_window_log.moc"
