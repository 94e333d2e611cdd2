#pragma once

#include "link/SerialPort.h"
#include "platform/Clock.h"
#include "platform/PortDescription.h"
#include "platform/SerialDevice.h"
#include "platform/Shell.h"

#include <QString>
#include <QWidget>

#include <memory>

class QTimer;

namespace Ui {
class TMainForm;
}

namespace vexa {

// What the main window needs from the world outside it.
struct MainFormDeps {
    Clock& clock;
    // Called twice at construction: first for the module's line, then for
    // the line that test-opens ports while the list is filled.
    SerialDeviceFactory makeDevice;
    const PortSource& ports;
    Shell& shell;
    // Where the program file lives; the manual sits beside it.
    QString programDir;
};

// The one main window: the pages, the status line and the program-wide
// state that every page works on.
class TMainForm final : public QWidget {
    Q_OBJECT

public:
    explicit TMainForm(MainFormDeps deps, QWidget* parent = nullptr);
    ~TMainForm() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetupFonts();
    void SetupRadioGroups();
    void SetupSpinners();

    void FormShow();
    void Timer3Timer();
    void PageControl1Change(int index);
    void Button1Click();
    void SpeedBoxChange(int index);
    void AboutEmailClick();
    void AboutWebSiteClick();
    void ManualBtnClick();

    // Empties CommPortBox and PortTable and lists every port that opens.
    void FillPortList();
    void SetSizeable(bool sizeable);
    void ShowNotConnected();

    std::unique_ptr<Ui::TMainForm> ui;
    MainFormDeps deps_;

    std::unique_ptr<SerialDevice> lineDevice_;
    std::unique_ptr<SerialDevice> probeDevice_;
    // The module's line, open from Connect to Disconnect.
    SerialPort Port;
    // A separate line for probing, so a Refresh never disturbs Port.
    SerialPort ProbeLine;
    PortTable Ports;
    int SpeedIndex = DefaultSpeedIndex;
    bool Connected = false;
    int SetCount = 0;
    bool FirstShow = true;

    QTimer* Timer1 = nullptr;
    QTimer* Timer3 = nullptr;
};

} // namespace vexa
