// The main window's actions on the module: connection, information,
// maintenance, configuration and the live log switch.
#include "TMainForm.h"
#include "UpdateListOption.h"
#include "firmwareui/TUpdateForm.h"
#include "ui_TMainForm.h"
#include "widgets/WaitCursor.h"

#include <QTimer>

namespace vexa {

void TMainForm::WireModuleHandlers()
{
    connect(ui->ConnectBtn, &QPushButton::clicked, this, &TMainForm::ConnectBtnClick);
    connect(ui->DLInfoBtn, &QPushButton::clicked, this, &TMainForm::DLInfoBtnClick);
    connect(ui->EraseDataBtn, &QPushButton::clicked, this, &TMainForm::EraseDataBtnClick);
    connect(ui->ResetModuleBtn, &QPushButton::clicked, this, &TMainForm::ResetModuleBtnClick);
    connect(ui->CalBtn, &QPushButton::clicked, this, &TMainForm::CalBtnClick);
    connect(ui->ReadCfgBtn, &QPushButton::clicked, this, &TMainForm::ReadCfgBtnClick);
    connect(ui->WriteCfgBtn, &QPushButton::clicked, this, &TMainForm::WriteCfgBtnClick);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TMainForm::BitBtn1Click);
    connect(ui->StartBtn, &QPushButton::clicked, this, &TMainForm::StartBtnClick);
    connect(ui->UpdateBtn, &QPushButton::clicked, this, &TMainForm::UpdateBtnClick);
    UpdateForm = new TUpdateForm({Session->Link(), deps_.clock, *Connection,
                                  // Whoever made the window without an address gets the usual one.
                                  deps_.updateList.isEmpty()
                                      ? UpdateListAddress({}, qgetenv("VEXA_UPDATE_LIST"))
                                      : deps_.updateList,
                                  deps_.prompter},
                                 this);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    connect(Session.get(), &ModuleSession::PortLost, this,
            [this](const QString& portName) { Connection->PortLost(portName); });
    Page->OnUnits(this, [this](int index) { UnitsGrpClick(index); });
    Page->OnSpin(this, [this](IntervalPart part, int value) { SpinClick(part, value); });
    connect(ui->SetList, &QComboBox::editTextChanged, this,
            [this](const QString& text) { Connection->SetListEdited(text); });
}

void TMainForm::ConnectBtnClick()
{
    Connection->ToggleConnection();
}

void TMainForm::DLInfoBtnClick()
{
    ui->InfoText->clear();
    ModuleInfo info;
    if (ui->SimulateChk->isChecked()) {
        info = Session->SimulatedInfo();
    } else if (!Connection->RequireConnected(false)) {
        return;
    } else {
        WaitCursor wait;
        info = Session->DownloadInfo();
    }
    Connection->ShowModuleInfo(info);
}

void TMainForm::EraseDataBtnClick()
{
    if (!Connection->RequireConnected(false))
        return;
    const int position = ui->SetList->currentIndex();
    if (position < 0) {
        Prompts.Warn(QStringLiteral("Vexa"), QStringLiteral("No data set specified"));
        return;
    }
    if (position == AllSetsPosition(Session->SetCount)) {
        if (Prompts.AskYesNo(QStringLiteral("Reset Config Defaults"),
                             QStringLiteral("This will erase all altitude data in the device.  "
                                            "Are you sure?"))) {
            WaitCursor wait;
            EraseAllSets(Session->Link());
            ui->SetList->clear();
            ui->SetList->setEditText(QString());
        }
        Session->Port().DrainInput();
        return;
    }
    {
        WaitCursor wait;
        EraseSet(Session->Link(), position);
    }
    DLInfoBtnClick();
}

void TMainForm::ResetModuleBtnClick()
{
    if (!Connection->RequireConnected(true))
        return;
    {
        WaitCursor wait;
        ResetModule(Session->Link());
    }
    Connection->ReadConfig();
}

void TMainForm::CalBtnClick()
{
    if (!Connection->RequireConnected(true))
        return;
    const std::optional<int> altitude = ParseCalibrationAltitude(ui->AltCalEdit->text());
    if (!altitude) {
        Prompts.Warn(QStringLiteral("Vexa"),
                     QStringLiteral("Enter the current altitude as a whole number."));
        return;
    }
    {
        WaitCursor wait;
        Calibrate(Session->Link(), *altitude);
    }
    Connection->ReadConfig();
}

void TMainForm::ReadCfgBtnClick()
{
    if (!Connection->RequireConnected(true))
        return;
    Connection->ReadConfig();
}

void TMainForm::WriteCfgBtnClick()
{
    if (!Connection->RequireConnected(true))
        return;
    const std::optional<ModuleConfig> config = Page->ConfigFromPage();
    if (!config) {
        Prompts.Warn(QStringLiteral("Vexa"),
                     QStringLiteral("The module did not report its interval unit (SI is 0), so "
                                    "the sampling interval cannot be written.\nPress Read Config "
                                    "and try again."));
        return;
    }
    WaitCursor wait;
    WriteModuleConfig(Session->Link(), *config);
    Session->Config = *config;
}

void TMainForm::BitBtn1Click()
{
    if (!Connection->RequireConnected(true))
        return;
    if (!Prompts.AskYesNo(QStringLiteral("Reset Config Defaults"),
                          QStringLiteral("This will reset all configuration values in the "
                                         "device.  Are you sure?")))
        return;
    {
        WaitCursor wait;
        RestoreDefaults(Session->Link());
    }
    Connection->ReadConfig();
}

void TMainForm::SpinClick(IntervalPart part, int value)
{
    Page->SpinClick(part, value);
}

void TMainForm::UnitsGrpClick(int index)
{
    Page->ShowUnits(index);
}

void TMainForm::StartBtnClick()
{
    if (Logging) {
        Timer1->stop();
        Logging = false;
        ui->StartBtn->setText(QStringLiteral("Start"));
        ui->LogDisp->clear();
        return;
    }
    if (!Connection->RequireConnected(true))
        return;
    Logging = true;
    ui->StartBtn->setText(QStringLiteral("Stop"));
    ui->LogDisp->setText(QStringLiteral("Logging"));
    Timer1->start();
}

void TMainForm::Timer1Timer()
{
    // The module has no command for its current altitude; nothing feeds the chart yet.
}

void TMainForm::UpdateBtnClick()
{
    // The live log would talk to the module while its firmware is replaced.
    if (Logging)
        StartBtnClick();
    UpdateForm->exec();
    // Ports may have come and gone while the dialog held the line.
    PortWatchTimerTimer();
}

} // namespace vexa
