#pragma once

#include <QObject>

class TfrmKT480NT5;

// Opens the main window's subordinate windows when it asks for them: each is created for
// one modal showing, in the current language, and destroyed when it closes.
class WindowLauncher : public QObject
{
    Q_OBJECT

public:
    explicit WindowLauncher(TfrmKT480NT5 &mainWindow);

    void openParameterWindow();
    void openCardWindow();
    void openRecordWindow();
    void openAllBackup(bool backup);
    void openSerialSearch();
    void openNetworkSearch();

private:
    TfrmKT480NT5 &main_;
};
