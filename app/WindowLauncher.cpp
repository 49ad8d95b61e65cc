#include "WindowLauncher.h"

#include "AllBackup.h"
#include "AppContext.h"
#include "LanguageFont.h"
#include "RecordJournal.h"
#include "SerialPortList.h"
#include "TfrmCardData.h"
#include "TfrmComSearch.h"
#include "TfrmDownload.h"
#include "TfrmIOdata.h"
#include "TfrmKT480NT5.h"
#include "TfrmNetSearch.h"
#include "TfrmParameter.h"

#include <QApplication>

WindowLauncher::WindowLauncher(TfrmKT480NT5 &mainWindow)
    : QObject(&mainWindow), main_(mainWindow),
      portLister_([&settings = mainWindow.context().settings](ComPortMap &map) {
          return SerialPortList(settings).Refresh(map);
      })
{
    connect(&main_, &TfrmKT480NT5::parameterWindowRequested, this,
            [this] { openParameterWindow(TfrmParameter::Pages::Parameters); });
    connect(&main_, &TfrmKT480NT5::sdCardRequested, this,
            [this] { openParameterWindow(TfrmParameter::Pages::SdCard); });
    connect(&main_, &TfrmKT480NT5::cardWindowRequested, this, &WindowLauncher::openCardWindow);
    connect(&main_, &TfrmKT480NT5::recordWindowRequested, this, &WindowLauncher::openRecordWindow);
    connect(&main_, &TfrmKT480NT5::backupRequested, this, [this] { openAllBackup(true); });
    connect(&main_, &TfrmKT480NT5::restoreRequested, this, [this] { openAllBackup(false); });
    connect(&main_, &TfrmKT480NT5::serialSearchRequested, this, &WindowLauncher::openSerialSearch);
    connect(&main_, &TfrmKT480NT5::networkSearchRequested, this,
            &WindowLauncher::openNetworkSearch);
}

void WindowLauncher::openParameterWindow(TfrmParameter::Pages pages)
{
    AppContext &c = main_.context();
    TfrmParameter window(c.comm, c.settings, c.language, c.progress, c.batchMode, c.clockReadPaused,
                         *c.prompt, main_.versionText(), &main_);
    window.showPages(pages);
    ApplyLanguageFont(&window, c.language.EffectiveIndex());
    window.exec();
}

void WindowLauncher::openCardWindow()
{
    AppContext &c = main_.context();
    TfrmCardData::Options options;
    options.expert = main_.startOptions().expert;
    options.portLister = portLister_;
    options.controllerPort = main_.connectionSettings().portNumber;
    options.serialNumber = main_.serialNumberText();
    TfrmCardData window(c.comm, c.settings, c.language, c.progress, c.clockReadPaused, *c.prompt,
                        std::move(options), &main_);
    window.VersionText = main_.versionText();
    ApplyLanguageFont(&window, c.language.EffectiveIndex());
    window.exec();
}

void WindowLauncher::openRecordWindow()
{
    AppContext &c = main_.context();
    // The journal of unsaved events belongs to the identified controller.
    const TfrmIOdata::Controller controller{c.comm.DeviceConnected() ? main_.serialNumberText()
                                                                     : QString(),
                                            RecordJournal::Folder(c.settings.filePath())};
    TfrmIOdata window(c.comm, c.settings, c.language, c.progress, *c.prompt, controller, &main_);
    ApplyLanguageFont(&window, c.language.EffectiveIndex());
    window.exec();
}

void WindowLauncher::openAllBackup(bool backup)
{
    AppContext &c = main_.context();
    if (!c.comm.DeviceConnected())
        return;
    AllBackup allBackup(c.comm, c.settings, c.progress, c.clockReadPaused, c.batchMode, *c.prompt,
                        c.language);
    TfrmDownload window(backup ? TfrmDownload::Mode::Backup : TfrmDownload::Mode::Restore,
                        allBackup, c.settings, *c.prompt, c.language, main_.versionText(), &main_);
    ApplyLanguageFont(&window, c.language.EffectiveIndex());
    window.exec();
}

void WindowLauncher::openSerialSearch()
{
    AppContext &c = main_.context();
    TfrmComSearch window(c.language, *c.prompt, portLister_, &main_);
    ApplyLanguageFont(&window, c.language.EffectiveIndex());
    window.exec();
    if (window.result())
        main_.takeSearchResult(*window.result());
}

void WindowLauncher::openNetworkSearch()
{
    AppContext &c = main_.context();
    TfrmNetSearch window(c.language, *c.prompt, &main_);
    ApplyLanguageFont(&window, c.language.EffectiveIndex());
    window.exec();
    if (window.result())
        main_.takeSearchResult(*window.result());
}
