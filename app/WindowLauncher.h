#pragma once

#include "TfrmParameter.h"

#include <ComPortMap.h>
#include <QObject>
#include <QStringList>
#include <functional>

class TfrmKT480NT5;

// Opens the main window's subordinate windows when it asks for them: each is created for
// one modal showing, in the current language, and destroyed when it closes.
class WindowLauncher : public QObject
{
    Q_OBJECT

public:
    explicit WindowLauncher(TfrmKT480NT5 &mainWindow);

    using PortLister = std::function<QStringList(ComPortMap &)>;

    // The parameter window with its parameter pages, or with the SD card page alone.
    void openParameterWindow(TfrmParameter::Pages pages);
    void openCardWindow();
    void openRecordWindow();
    void openAllBackup(bool backup);
    void openSerialSearch();
    void openNetworkSearch();

    // How the serial search and quick add list the machine's ports (a test lists its own).
    void setPortLister(PortLister lister) { portLister_ = std::move(lister); }

private:
    TfrmKT480NT5 &main_;
    PortLister portLister_;
};
