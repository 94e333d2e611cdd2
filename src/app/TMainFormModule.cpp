// The main window's actions on the module: connection, information,
// maintenance, configuration and the live log switch.
#include "TMainForm.h"
#include "UpdateListOption.h"
#include "firmwareui/TUpdateForm.h"
#include "ui_TMainForm.h"
#include "widgets/WaitCursor.h"

#include <QLineEdit>
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
    UpdateForm = new TUpdateForm({Session->Link(), deps_.clock, *this,
                                  // Whoever made the window without an address gets the usual one.
                                  deps_.updateList.isEmpty()
                                      ? UpdateListAddress({}, qgetenv("VEXA_UPDATE_LIST"))
                                      : deps_.updateList,
                                  deps_.prompter},
                                 this);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    connect(Session.get(), &ModuleSession::PortLost, this, &TMainForm::SessionPortLost);
    Page->OnUnits(this, [this](int index) { UnitsGrpClick(index); });
    Page->OnSpin(this, [this](IntervalPart part, int value) { SpinClick(part, value); });
    ui->SetList->setInsertPolicy(QComboBox::NoInsert);
    connect(ui->SetList, &QComboBox::editTextChanged, this, &TMainForm::SetListEdited);
}

void TMainForm::AddInfo(const QString& line)
{
    ui->InfoText->appendPlainText(line);
}

bool TMainForm::RequireConnected(bool showConnectPage)
{
    if (Session->Connected())
        return true;
    ui->InfoText->clear();
    AddInfo(QStringLiteral("Not Connected"));
    if (showConnectPage)
        ui->PageControl1->setCurrentWidget(ui->ConnectPage);
    return false;
}

void TMainForm::ConnectBtnClick()
{
    if (Session->Connected()) {
        Session->Disconnect();
        ShowNotConnected();
        return;
    }
    bool opened = false;
    {
        WaitCursor wait;
        opened = Session->Connect(ui->CommPortBox->currentIndex());
    }
    if (!opened) {
        // Which port and why (permissions, in use), so the user knows what to do.
        Prompts.Warn(QStringLiteral("Error"),
                     QStringLiteral("Unable to open Serial Port\n") + Session->ConnectError());
        return;
    }
    ui->ConnectBtn->setText(QStringLiteral("Disconnect"));
    ui->ConnectStatusDisp->setText(QStringLiteral("Connected"));
    // A port where nothing answers is no connection to a module, and holding
    // it would keep it from every other program.
    if (ReadConfig() == 0) {
        Session->Disconnect();
        ShowNotConnected();
    }
}

void TMainForm::SessionPortLost(const QString& portName)
{
    ShowNotConnected();
    for (const QString& line : PortLostLines(portName))
        AddInfo(line);
    RefreshPortList();
}

void TMainForm::DLInfoBtnClick()
{
    ui->InfoText->clear();
    ModuleInfo info;
    if (ui->SimulateChk->isChecked()) {
        info = Session->SimulatedInfo();
    } else if (!RequireConnected(false)) {
        return;
    } else {
        WaitCursor wait;
        info = Session->DownloadInfo();
    }
    ShowModuleInfo(info);
}

void TMainForm::ShowModuleInfo(const ModuleInfo& info)
{
    ui->SetList->clear();
    ui->SetList->addItems(info.setItems);
    ui->InfoText->clear();
    for (const QString& line : info.lines)
        AddInfo(line);
    ui->SetList->setCurrentIndex(0);
    ui->FirmwareVersionDisp->setText(info.identity.softwareVersion);
    Page->ShowRecordTime();
}

// The set box selects the item its text names, and nothing when the text
// names no item, so a typed number never stands for the set shown before.
void TMainForm::SetListEdited(const QString& text)
{
    QComboBox* box = ui->SetList;
    const int named = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (named == box->currentIndex())
        return;
    if (named >= 0) {
        box->setCurrentIndex(named);
        return;
    }
    QLineEdit* edit = box->lineEdit();
    const int cursor = edit->cursorPosition();
    box->setCurrentIndex(-1); // empties the text as well
    edit->setText(text);
    edit->setCursorPosition(cursor);
}

void TMainForm::EraseDataBtnClick()
{
    if (!RequireConnected(false))
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
    if (!RequireConnected(true))
        return;
    {
        WaitCursor wait;
        ResetModule(Session->Link());
    }
    ReadConfig();
}

void TMainForm::CalBtnClick()
{
    if (!RequireConnected(true))
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
    ReadConfig();
}

int TMainForm::ReadConfig()
{
    WaitCursor wait;
    AddInfo(QStringLiteral("Reading Configuration..."));
    ui->InfoText->viewport()->repaint(); // seen during the blocking reads
    const int answered = Session->ReadConfig();
    // Nothing read: the page keeps its values rather than showing zeros.
    if (answered > 0)
        Page->ShowConfig();
    AddInfo(QStringLiteral("Configuration loaded."));
    if (answered == 0)
        for (const QString& line : NoAnswerLines(Session->PortName()))
            AddInfo(line);
    return answered;
}

void TMainForm::ReadCfgBtnClick()
{
    if (!RequireConnected(true))
        return;
    ReadConfig();
}

void TMainForm::WriteCfgBtnClick()
{
    if (!RequireConnected(true))
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
    if (!RequireConnected(true))
        return;
    if (!Prompts.AskYesNo(QStringLiteral("Reset Config Defaults"),
                          QStringLiteral("This will reset all configuration values in the "
                                         "device.  Are you sure?")))
        return;
    {
        WaitCursor wait;
        RestoreDefaults(Session->Link());
    }
    ReadConfig();
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
    if (!RequireConnected(true))
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

bool TMainForm::LinkConnected() const
{
    return Session->Connected();
}

void TMainForm::CloseLink()
{
    Session->Disconnect();
    ShowNotConnected();
}

QString TMainForm::SelectedPortName() const
{
    return Session->PortNameAt(ui->CommPortBox->currentIndex());
}

void TMainForm::LinkOpened()
{
    ui->ConnectBtn->setText(QStringLiteral("Disconnect"));
    Session->UpdateTookLine();
}

void TMainForm::LinkReleased()
{
    ui->ConnectBtn->setText(QStringLiteral("Connect"));
    Session->UpdateReleasedLine();
}

} // namespace vexa
