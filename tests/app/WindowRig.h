#pragma once

#include "AppContext.h"
#include "ScriptedPrompt.h"
#include "TfrmKT480NT5.h"

#include <QApplication>
#include <QDialog>
#include <QMap>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVariant>
#include <SimulatorHost.h>
#include <functional>
#include <memory>
#include <tuple>

class QLineEdit;
class QTabWidget;

// One main window against one in-process simulator, with a settings file of its own in a
// temporary folder. The window's clock stands still at `now` unless a test moves it.
class WindowRig
{
public:
    explicit WindowRig(const QList<ControllerData> &controllers = {ControllerData::factory(1)},
                       bool serial = false);
    ~WindowRig();

    SimulatorHost &sim() { return *sim_; }
    QString settingsPath() const { return dir_.filePath(QStringLiteral("settings.ini")); }
    QString path(const QString &name) const { return dir_.filePath(name); }
    void writeSettings(const QMap<QString, QVariant> &values) const;
    QVariant storedSetting(const QString &name) const;

    // Builds and shows the window; the first clock tick (restore, automatic connect) follows.
    // With `launch`, its buttons open the other windows modally, as in the program.
    TfrmKT480NT5 &open(StartOptions options = {}, bool launch = false);
    TfrmKT480NT5 &window() { return *window_; }
    AppContext &context() { return *context_; }
    Comm &comm() { return context_->comm; }
    // Replaces the message boxes and file dialogs of the open window by a scripted prompt.
    ScriptedPrompt &scriptPrompts();

    // Fills the tab's boxes and connects; true when the controller was identified.
    bool connectTcp(const QString &deviceId = QStringLiteral("0001"));
    bool connectUdp(const QString &deviceId = QStringLiteral("0001"));
    bool connectSerial(int comNumber, const QString &deviceId = QStringLiteral("0001"));
    // Waits until the start-up tick has run and no connection attempt is left.
    bool settle();

    QDateTime now{QDate(2008, 9, 22), QTime(14, 5, 0)};
    // Every reading of the window's clock moves `now` on by this much.
    int clockStepMs = 0;

private:
    QTemporaryDir dir_;
    std::unique_ptr<SimulatorHost> sim_;
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<TfrmKT480NT5> window_;
};

// A left click as a person makes it: through the window system at the widget's centre (or
// at `pos` in the widget), so that Qt's modality check and hit-testing decide who gets it.
void ClickOnScreen(QWidget *widget, QPoint pos = QPoint());
// Shows a tab by clicking its tab.
void ClickTab(QTabWidget *tabs, int index);
// Replaces the text of an edit by typing, as a person does.
void TypeInto(QLineEdit *edit, const QString &text);
// A key press on the focused widget of the widget's window, through the window system.
void KeyOnScreen(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers modifiers = {});
// Typed text, key by key, through the window system.
void TypeOnScreen(QWidget *widget, const QString &text);

// A controller as shipped, holding cards 1..count.
ControllerData ControllerWithCards(int count);

// A picture of the widget as it stands; saved under this name in KT480_SCREENSHOT_DIR when
// that is set (the pictures in docs/). False when nothing could be drawn.
bool KeepPicture(QWidget &widget, const QString &fileName);

// Runs `action` once, from the event loop, after the link's n-th exchange from now: a
// person acting while an operation runs.
void AtExchange(Comm &comm, int n, std::function<void()> action);

// A control of a window by its object name ("btnSyn"), as a person finds it by its caption;
// the test stops when there is none.
template <typename W = QWidget> W *Control(const QObject &window, const char *name)
{
    W *control = window.findChild<W *>(QString::fromLatin1(name));
    QTEST_ASSERT(control);
    return control;
}

// The buttons that need an identified controller: Parameter, Card Data, All Backup, All
// Restore, Get and Syn, all enabled or all disabled.
bool FunctionButtonsEnabled(const QObject &window);
bool FunctionButtonsDisabled(const QObject &window);

// The visible top-level window of this class, if any.
template <typename W> W *VisibleWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<W *>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

// Runs `steps` inside the modal loop that `open` enters (a click that makes the program
// call exec()), once the window of class W is shown. Whatever is left open afterwards is
// closed, so a failed step never leaves the test waiting. False when no W appeared.
template <typename W>
bool WhileModal(const std::function<void()> &open, const std::function<void(W &)> &steps)
{
    bool shown = false;
    QTimer::singleShot(0, [&] {
        QPointer<W> window;
        std::ignore = QTest::qWaitFor(
            [&] {
                window = VisibleWindow<W>();
                return !window.isNull();
            },
            5000);
        if (!window)
            return;
        shown = true;
        steps(*window);
        if (window && window->isVisible())
            window->done(QDialog::Rejected);
    });
    open();
    return shown;
}
