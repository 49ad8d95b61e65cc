#pragma once

#include "ComPortMap.h"
#include "ControllerHit.h"
#include "SerialSearch.h"

#include <QDialog>
#include <QTimer>
#include <functional>
#include <optional>

class Language;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SearchStatusBar;
class UserPrompt;

// "Search Device" on the serial ports: finds a controller when the port, the line settings
// or the Device ID are unknown, and hands them to the caller (result()). The search runs on
// threads of its own, so the window stays responsive and Cancel ends it at once.
class TfrmComSearch : public QDialog
{
    Q_OBJECT

public:
    // Lists the machine's ports as "COM<n>" names and fills the map with their devices.
    using PortLister = std::function<QStringList(ComPortMap &)>;

    TfrmComSearch(const Language &language, UserPrompt &prompt, PortLister portLister,
                  QWidget *parent = nullptr);
    ~TfrmComSearch() override;

    // The controller found by the last search, if any.
    std::optional<ControllerHit> result() const { return found_; }
    bool searching() const { return searching_; }

    QCheckBox *lblPort01 = nullptr;
    QComboBox *cbxCommNo = nullptr;
    QCheckBox *lblBaudRate = nullptr;
    QComboBox *cbxBaudRate = nullptr;
    QLabel *lblID01 = nullptr;
    QLineEdit *edID01 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *edID02 = nullptr;
    QCheckBox *chkThorough = nullptr;
    QPushButton *btnSearch = nullptr;
    QPushButton *btnCancel = nullptr;
    QPushButton *btnExit = nullptr;
    SearchStatusBar *sbMain = nullptr;
    QTimer tmrScan;
    QTimer tmrSearch;

    void FormShow();
    void btnSearchClick();
    void tmrSearchTimer();
    void tmrScanTimer();
    void btnCancelClick();
    void btnExitClick();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void buildLayout();
    void applyCaptions();
    void fillPortList();
    void showScan(const QString &portName, const QString &lineSettings, int deviceId);
    void searchFinished();
    void setSearching(bool on);

    const Language &language_;
    UserPrompt &prompt_;
    PortLister portLister_;
    ComPortMap map_;
    SerialSearch search_;
    std::optional<ControllerHit> found_;
    bool searching_ = false;
    bool cancelRequested_ = false;
    bool closing_ = false;
    // The port the search tried last, shown again when it ends.
    QString lastPortTried_;
    // The Device IDs the running search tries.
    int firstId_ = 1;
    int lastId_ = 1;
};
