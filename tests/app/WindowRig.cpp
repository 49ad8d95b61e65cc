#include "WindowRig.h"

#include "WindowLauncher.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QWindow>
#include <algorithm>

WindowRig::WindowRig(const QList<ControllerData> &controllers, bool serial)
{
    SimulatorConfig config;
    config.tcpPort = 0;
    config.udpPort = 0;
    config.serial = serial;
    config.controllers = controllers;
    sim_ = std::make_unique<SimulatorHost>(config);
}

WindowRig::~WindowRig()
{
    window_.reset();
    context_.reset();
}

void WindowRig::writeSettings(const QMap<QString, QVariant> &values) const
{
    QSettings store(settingsPath(), QSettings::IniFormat);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        store.setValue(it.key(), it.value());
    store.sync();
}

QVariant WindowRig::storedSetting(const QString &name) const
{
    const QSettings store(settingsPath(), QSettings::IniFormat);
    return store.value(name);
}

TfrmKT480NT5 &WindowRig::open(StartOptions options, bool launch)
{
    options.clock = [this] {
        const QDateTime reading = now;
        now = now.addMSecs(clockStepMs);
        return reading;
    };
    window_.reset();
    context_ = std::make_unique<AppContext>(settingsPath());
    window_ = std::make_unique<TfrmKT480NT5>(*context_, options);
    if (launch)
        new WindowLauncher(*window_);
    window_->show();
    return *window_;
}

ScriptedPrompt &WindowRig::scriptPrompts()
{
    auto prompt = std::make_unique<ScriptedPrompt>();
    ScriptedPrompt &scripted = *prompt;
    context_->prompt = std::move(prompt);
    return scripted;
}

bool WindowRig::settle()
{
    return QTest::qWaitFor([this] { return window_->initialised() && !window_->connecting(); },
                           20000);
}

bool WindowRig::connectTcp(const QString &deviceId)
{
    if (!settle())
        return false;
    ClickTab(Control<QTabWidget>(*window_, "pcMain"), 1);
    TypeInto(Control<QLineEdit>(*window_, "edtIP"), QStringLiteral("127.0.0.1"));
    TypeInto(Control<QLineEdit>(*window_, "edtPort"), QString::number(sim_->tcpPort()));
    TypeInto(Control<QLineEdit>(*window_, "edID02"), deviceId);
    ClickOnScreen(Control<QPushButton>(*window_, "btnConnect02"));
    return settle() && comm().DeviceConnected();
}

bool WindowRig::connectUdp(const QString &deviceId)
{
    if (!settle())
        return false;
    ClickTab(Control<QTabWidget>(*window_, "pcMain"), 2);
    TypeInto(Control<QLineEdit>(*window_, "edtIPudp"), QStringLiteral("127.0.0.1"));
    TypeInto(Control<QLineEdit>(*window_, "edtUPort01"), QString::number(sim_->udpPort()));
    TypeInto(Control<QLineEdit>(*window_, "edtUPort02"), QStringLiteral("0"));
    TypeInto(Control<QLineEdit>(*window_, "edID03"), deviceId);
    ClickOnScreen(Control<QPushButton>(*window_, "btnConnect03"));
    return settle() && comm().DeviceConnected();
}

bool WindowRig::connectSerial(int comNumber, const QString &deviceId)
{
    if (!settle())
        return false;
    ClickTab(Control<QTabWidget>(*window_, "pcMain"), 0);
    TypeInto(Control<QComboBox>(*window_, "cbxCommNo")->lineEdit(),
             QStringLiteral("COM%1").arg(comNumber));
    TypeInto(Control<QLineEdit>(*window_, "edID01"), deviceId);
    ClickOnScreen(Control<QPushButton>(*window_, "btnConnect01"));
    return settle() && comm().DeviceConnected();
}

namespace {
QList<QPushButton *> FunctionButtons(const QObject &window)
{
    QList<QPushButton *> buttons;
    for (const char *name :
         {"btnParameter", "btnCard", "btnBackup", "btnRestore", "btnDeviceTime", "btnSyn"})
        buttons << Control<QPushButton>(window, name);
    return buttons;
}
} // namespace

bool FunctionButtonsEnabled(const QObject &window)
{
    const QList<QPushButton *> buttons = FunctionButtons(window);
    return std::all_of(buttons.cbegin(), buttons.cend(),
                       [](const QPushButton *button) { return button->isEnabled(); });
}

bool FunctionButtonsDisabled(const QObject &window)
{
    const QList<QPushButton *> buttons = FunctionButtons(window);
    return std::none_of(buttons.cbegin(), buttons.cend(),
                        [](const QPushButton *button) { return button->isEnabled(); });
}

void ClickOnScreen(QWidget *widget, QPoint pos)
{
    QWidget *top = widget->window();
    QWindow *handle = top->windowHandle();
    QTEST_ASSERT(handle);
    const QPoint at = widget->mapTo(top, pos.isNull() ? widget->rect().center() : pos);
    QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, at);
}

void KeyOnScreen(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWindow *handle = widget->window()->windowHandle();
    QTEST_ASSERT(handle);
    QTest::keyClick(handle, key, modifiers);
}

void TypeOnScreen(QWidget *widget, const QString &text)
{
    QWindow *handle = widget->window()->windowHandle();
    QTEST_ASSERT(handle);
    for (const QChar c : text)
        QTest::keyClick(handle, c.toLatin1());
}

void ClickTab(QTabWidget *tabs, int index)
{
    QTabBar *bar = tabs->tabBar();
    ClickOnScreen(bar, bar->tabRect(index).center());
}

void TypeInto(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

bool KeepPicture(QWidget &widget, const QString &fileName)
{
    QTest::qWait(20);
    const QImage picture = widget.grab().toImage();
    const QString folder = qEnvironmentVariable("KT480_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        picture.save(QDir(folder).filePath(fileName));
    return !picture.isNull();
}

void AtExchange(Comm &comm, int n, std::function<void()> action)
{
    auto *counter = new QObject(&comm);
    auto count = std::make_shared<int>(0);
    QObject::connect(&comm, &Comm::logLine, counter,
                     [counter, count, n, action = std::move(action)] {
                         if (++*count != n)
                             return;
                         QTimer::singleShot(0, counter, [counter, action] {
                             action();
                             counter->deleteLater();
                         });
                     });
}

ControllerData ControllerWithCards(int count)
{
    ControllerData data = ControllerData::factory(1);
    data.cards = GeneratedCards(count);
    return data;
}
