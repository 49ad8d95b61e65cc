#include "AppContext.h"
#include "BuildVersion.h"
#include "DemoSession.h"
#include "SingleInstance.h"
#include "TfrmKT480NT5.h"
#include "WindowLauncher.h"
#include "WindowScreenshot.h"

#include <ConnectionSettings.h>
#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

bool WantsVersion(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    // Answered before the application object exists: it needs no display.
    if (WantsVersion(argc, argv)) {
        std::printf("kt480nt5 %s\n", qPrintable(BuildVersionText()));
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KT480NTV5 Utility"));
    // Desktops find the installed entry and its icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("kt480nt5"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("KT480NT (V5) controller utility"));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("version"), QStringLiteral("Show the program's version.")});
    const QCommandLineOption settingsOption(
        QStringLiteral("settings"),
        QStringLiteral("Keep the settings in FILE (an INI file) instead of the user's."),
        QStringLiteral("FILE"));
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QStringLiteral("Start a simulated controller on loopback TCP and connect to it."));
    const QCommandLineOption expertOption(
        QStringLiteral("expert"),
        QStringLiteral("Show the UDP tab and the Record data and SD card buttons."));
    const QCommandLineOption noAutoConnectOption(
        QStringLiteral("no-auto-connect"),
        QStringLiteral("Do not reconnect to the stored controller at start."));
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the main window to FILE once connected, then quit."),
        QStringLiteral("FILE"));
    parser.addOptions(
        {settingsOption, demoOption, expertOption, noAutoConnectOption, screenshotOption});
    parser.process(app);

    QString settingsFile = parser.value(settingsOption);
    std::unique_ptr<DemoSession> demo;
    if (parser.isSet(demoOption)) {
        // The demo runs without a person choosing an address: it stays on loopback.
        qputenv("KT480_LOOPBACK_ONLY", "1");
        demo = std::make_unique<DemoSession>(settingsFile);
        if (!demo->isRunning()) {
            qCritical("kt480nt5: the demo simulator could not start: %s",
                      qPrintable(demo->errorString()));
            return 1;
        }
        settingsFile = demo->settingsFilePath();
    }

    AppContext context(settingsFile);
    // The stored language from the start: even a refused second start speaks it.
    const int language = ConnectionSettings::Load(context.settings)
                             .languageIndex.value_or(Language::LanguageFromSystem());
    context.translator.apply(language);
    SingleInstance instance(context.settings.filePath());
    if (!instance.TryAcquire()) {
        QMessageBox::information(nullptr, Language::Text(int(TextRow::SystemMessage), language),
                                 QCoreApplication::translate("main", "Program is already running!"),
                                 QMessageBox::Ok);
        return 0;
    }

    StartOptions options;
    options.expert = parser.isSet(expertOption);
    options.automaticConnect = !parser.isSet(noAutoConnectOption);
    options.systemLanguageIndex = Language::LanguageFromSystem();
    TfrmKT480NT5 window(context, options);
    new WindowLauncher(window);
    QObject::connect(&instance, &SingleInstance::raiseRequested, &window, [&window] {
        window.showNormal();
        window.raise();
        window.activateWindow();
    });
    if (parser.isSet(screenshotOption))
        new WindowScreenshot(window, parser.value(screenshotOption));
    window.show();
    return app.exec();
}
