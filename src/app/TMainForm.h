#pragma once

#include "ConfigurePage.h"
#include "ConnectPage.h"
#include "Settings.h"
#include "data/DataSetStore.h"
#include "data/SavedSets.h"
#include "link/LiveLog.h"
#include "link/ModuleActions.h"
#include "link/ModuleConfig.h"
#include "link/ModuleSession.h"
#include "outputui/PrinterChooser.h"
#include "platform/Clock.h"
#include "platform/PortDescription.h"
#include "platform/SerialDevice.h"
#include "platform/Shell.h"
#include "plot/PlotRecord.h"
#include "widgets/Choosers.h"
#include "widgets/Prompter.h"

#include <QImage>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>

class QButtonGroup;
class QKeyEvent;
class QTimer;

namespace Ui {
class TMainForm;
}

namespace vexa {

class TDataPropForm;
class TSaveSel;
class TScaleForm;
class TEditInfoForm;
class TPrtLocForm;
class TUpdateForm;

// What the main window needs from the world outside it.
struct MainFormDeps {
    Clock& clock;
    // Makes the module's line and the line that test-opens ports while the
    // list is filled, when no session is given.
    SerialDeviceFactory makeDevice;
    const PortSource& ports;
    Shell& shell;
    // Where the program file lives; the manual is looked for from there.
    QString programDir;
    // Questions and warnings; message boxes over the window when not given.
    Prompter* prompter = nullptr;
    // File names and colours asked of the user; the platform's dialogs when not given.
    FileChooser* files = nullptr;
    ColorChooser* colors = nullptr;
    // The print dialog; the platform's when not given.
    PrinterChooser* printers = nullptr;
    // The system's data folders, where an installed manual may be too.
    QStringList dataDirs = {};
    // The settings file kept between runs; the per-user store when empty.
    QString settingsFile = {};
    // Where the firmware update list is read from.
    QUrl updateList = {};
    // The module's side, when it is made outside the window.
    std::unique_ptr<ModuleSession> session = {};
};

// The one main window: the pages, the status line and the program-wide
// state that every page works on.
class TMainForm final : public QWidget {
    Q_OBJECT

public:
    explicit TMainForm(MainFormDeps deps, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Loads data files as Load does, each with its own messages; files
    // named on the command line and dropped onto the window come here.
    void OpenDataFiles(const QStringList& paths);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The Configure and Connect pages and the plot's mouse modes.
    void SetupPages();

    void FormShow();
    void Timer3Timer();
    void PageControl1Change(int index);
    void Button1Click();
    void SpeedBoxChange(int index);
    void AboutEmailClick();
    void AboutWebSiteClick();
    void ManualBtnClick();

    // The module (TMainFormModule.cpp)
    void ConnectBtnClick();
    void DLInfoBtnClick();
    void EraseDataBtnClick();
    void ResetModuleBtnClick();
    void CalBtnClick();
    void ReadCfgBtnClick();
    void WriteCfgBtnClick();
    void BitBtn1Click();
    void SpinClick(IntervalPart part, int value);
    void UnitsGrpClick(int index);
    void StartBtnClick();
    void Timer1Timer();
    void UpdateBtnClick();
    void WireModuleHandlers();
    // Lists the ports again when the system's ports changed.
    void PortWatchTimerTimer();

    // Data sets (TMainFormData.cpp)
    void DLDataBtnClick();
    void WireDataHandlers();
    // During a download nothing may change the store, the plot or the line.
    void SetCommandsEnabled(bool enabled);
    // After a set arrived: the plot's full window and its axis labels.
    void SetDownloaded(int units);
    void DataPropBtnClick();
    void AutoOffsetBtnClick();
    void SaveBtnClick();
    void LoadBtnClick();
    // Asks for a file name and saves; false when cancelled or failed.
    bool SaveDataFile(bool activeOnly);
    // Loads one file and tells what went wrong; false when nothing was loaded.
    bool LoadDataFileAt(const QString& path);
    // True when the window may close: nothing is unsaved, or the user
    // saved or discarded it.
    bool ConfirmClose();
    // Local files dropped onto the window are loaded; true when the event was one.
    bool DropFiles(QEvent* event);
    FileChooser& Files();
    // After the properties dialog changed sets: repaint, and fit the altitude
    // window again when the altitudes moved.
    void DataPropChanged(bool altitudesChanged);

    // The plot (TMainFormPlot.cpp)
    void WirePlotHandlers();
    void Navigate(bool changed);
    // The window, the data or the look of the plot changed: draw it again.
    void PlotChanged();
    void ZoomCropBtnClick();
    void ScaleBtnClick();
    void EditBtnClick();
    // True when the key acted on the plot and must reach no control.
    bool FormKeyDown(QKeyEvent* event);

    // Print and export (TMainFormOutput.cpp)
    void WireOutputHandlers();
    void PrtBtnClick();
    void ExportBtnClick();
    // Settings kept between runs (TMainFormSettings.cpp)
    void LoadSettings();
    void SaveSettings();
    AppSettings CurrentSettings() const;
    void ApplySettings(const AppSettings& values);
    void ShowPointsChkClick(bool checked);

    void SetSizeable(bool sizeable);

    std::unique_ptr<Ui::TMainForm> ui;
    MainFormDeps deps_;

    // The line, the port list and what the module reported.
    std::unique_ptr<ModuleSession> Session;
    // The port list position the settings gave; none when nothing was read.
    std::optional<int> StoredPort;
    bool FirstShow = true;

    std::unique_ptr<ConfigurePage> Page;
    std::unique_ptr<ConnectPage> Connection;
    LiveRing Live;
    bool Logging = false;

    DataSetStore Store;
    int LastDownloadSelection = 0;
    bool Downloading = false;
    SavedSets Saved{Store};
    // Files opened before the start-up step: it shows the plot, not the Connect page.
    bool OpenedAtStart = false;

    PlotRecord Plot;
    FullExtent Full;
    OutputSettings Output;
    ShowFlags Show;
    QImage Logo;

    std::unique_ptr<Prompter> ownPrompter_;
    Prompter& Prompts;
    DialogFileChooser dialogFiles_;
    DialogColorChooser dialogColors_;
    TDataPropForm* DataPropForm = nullptr;
    TSaveSel* SaveSel = nullptr;
    TScaleForm* ScaleForm = nullptr;
    TEditInfoForm* EditInfoForm = nullptr;
    TPrtLocForm* PrtLocForm = nullptr;
    TUpdateForm* UpdateForm = nullptr;
    DialogPrinterChooser dialogPrinters_;
    // Made at the first print and kept, so the print dialog's choices last the run.
    std::unique_ptr<QPrinter> Printer;

    QTimer* Timer1 = nullptr;
    QTimer* Timer3 = nullptr;
    QTimer* PortWatchTimer = nullptr;

    // Ids are the mouse modes.
    QButtonGroup* MouseButtons = nullptr;
};

} // namespace vexa
