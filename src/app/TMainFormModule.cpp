// The main window's actions on the module: connection, information,
// maintenance, configuration and the live log switch.
#include "TMainForm.h"
#include "UpdateListOption.h"
#include "firmwareui/TUpdateForm.h"
#include "ui_TMainForm.h"
#include "widgets/RadioGroup.h"
#include "widgets/WaitCursor.h"

#include <QButtonGroup>
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
    connect(UnitsButtons, &QButtonGroup::idClicked, this, &TMainForm::UnitsGrpClick);
    ui->SetList->setInsertPolicy(QComboBox::NoInsert);
    connect(ui->SetList, &QComboBox::editTextChanged, this, &TMainForm::SetListEdited);

    const std::pair<QSpinBox*, IntervalPart> spinners[] = {
        {ui->HourSpin, IntervalPart::Hours},
        {ui->MinSpin, IntervalPart::Minutes},
        {ui->SecSpin, IntervalPart::Seconds},
        {ui->mSecSpin, IntervalPart::Milliseconds}};
    for (const auto& [spin, part] : spinners) {
        const IntervalPart p = part;
        connect(spin, &QSpinBox::valueChanged, this, [this, p](int value) { SpinClick(p, value); });
    }
    ShowRecordTime();
    // What the page says until the module's interval is known.
    ui->Msg1->setText(QStringLiteral("Approximate Record Time: 01 hours 08 min 16.00 sec"));
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
    ShowRecordTime();
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
        ShowConfig();
    AddInfo(QStringLiteral("Configuration loaded."));
    if (answered == 0)
        for (const QString& line : NoAnswerLines(Session->PortName()))
            AddInfo(line);
    return answered;
}

void TMainForm::ShowConfig()
{
    const ModuleConfig& Config = Session->Config;
    SelectItem(UnitsButtons, Config.UA);
    ui->AboveUnitsPanel->setText(UnitName(Config.UA));
    ui->BelowUnitsPanel->setText(UnitName(Config.UA));
    Interval = SplitInterval(std::uint32_t(Config.SR) * Config.SI);
    ui->TrigChk->setChecked(Config.RT != 0);
    ui->RevTrigChk->setChecked(Config.RV != 0);
    ShowRecordTime();
    SelectItem(AutoStartButtons, Config.AS);
    ui->AutoStartSecEdit->setText(QString::number(Config.ST));
    ui->AutoStartAltitudeEdit->setText(QString::number(Config.SA));
    SelectItem(AutoStopButtons, Config.AP);
    ui->AutoStopSecEdit->setText(QString::number(Config.PT));
    ui->AutoStopAltitudeEdit->setText(QString::number(Config.PA));
    SelectItem(AutoZeroButtons, Config.AZ);
    for (QWidget* group : {ui->AutoStartGrp, ui->AutoStopGrp, ui->AutoZeroGrp})
        group->setVisible(true);
}

void TMainForm::ReadCfgBtnClick()
{
    if (!RequireConnected(true))
        return;
    ReadConfig();
}

ConfigControls TMainForm::ReadConfigControls() const
{
    ConfigControls c;
    c.interval = Interval;
    c.unitsIndex = UnitsButtons->checkedId();
    c.trigger = ui->TrigChk->isChecked();
    c.reverseTrigger = ui->RevTrigChk->isChecked();
    c.autoStart = AutoStartButtons->checkedId();
    c.autoStop = AutoStopButtons->checkedId();
    c.autoZero = AutoZeroButtons->checkedId();
    c.startAltitude = ui->AutoStartAltitudeEdit->text();
    c.stopAltitude = ui->AutoStopAltitudeEdit->text();
    c.startSeconds = ui->AutoStartSecEdit->text();
    c.stopSeconds = ui->AutoStopSecEdit->text();
    return c;
}

void TMainForm::WriteCfgBtnClick()
{
    if (!RequireConnected(true))
        return;
    const std::optional<ConfigToWrite> out =
        ConfigFromControls(ReadConfigControls(), Session->Config);
    if (!out) {
        Prompts.Warn(QStringLiteral("Vexa"),
                     QStringLiteral("The module did not report its interval unit (SI is 0), so "
                                    "the sampling interval cannot be written.\nPress Read Config "
                                    "and try again."));
        return;
    }
    ui->AutoStartSecEdit->setText(out->startSeconds);
    ui->AutoStopSecEdit->setText(out->stopSeconds);
    WaitCursor wait;
    WriteModuleConfig(Session->Link(), out->config);
    Session->Config = out->config;
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
    int current = 0;
    switch (part) {
    case IntervalPart::Hours:
        current = Interval.hours;
        break;
    case IntervalPart::Minutes:
        current = Interval.minutes;
        break;
    case IntervalPart::Seconds:
        current = Interval.seconds;
        break;
    case IntervalPart::Milliseconds:
        current = Interval.milliseconds;
        break;
    }
    if (value == current)
        return;
    Interval = SpinInterval(Interval, part, value > current, Session->Config.SI);
    ShowRecordTime();
}

void TMainForm::ShowRecordTime()
{
    const std::uint16_t si = Session->Config.SI;
    Interval = NormalizeInterval(Interval, si);
    ui->HourPanel->setText(QString::number(Interval.hours));
    ui->MinutePanel->setText(QStringLiteral("%1").arg(Interval.minutes, 2, 10, QLatin1Char('0')));
    ui->SecondPanel->setText(QStringLiteral("%1").arg(Interval.seconds, 2, 10, QLatin1Char('0')));
    ui->mSecPanel->setText(
        QStringLiteral("%1").arg(Interval.milliseconds, 3, 10, QLatin1Char('0')));
    // The spinners mirror the parts. The milliseconds one reaches exactly the
    // next step either way, so its arrows follow SI.
    {
        const QSignalBlocker quiet(ui->mSecSpin);
        const IntervalPart ms = IntervalPart::Milliseconds;
        ui->mSecSpin->setRange(SpinInterval(Interval, ms, false, si).milliseconds,
                               SpinInterval(Interval, ms, true, si).milliseconds);
        ui->mSecSpin->setSingleStep(si > 0 ? si : 1);
    }
    const std::pair<QSpinBox*, int> spinners[] = {{ui->HourSpin, Interval.hours},
                                                  {ui->MinSpin, Interval.minutes},
                                                  {ui->SecSpin, Interval.seconds},
                                                  {ui->mSecSpin, Interval.milliseconds}};
    for (const auto& [spin, value] : spinners) {
        const QSignalBlocker quiet(spin);
        spin->setValue(value);
    }
    ui->Msg1->setText(RecordTimeText(Interval.TotalMs()));
}

void TMainForm::UnitsGrpClick(int index)
{
    ui->AboveUnitsPanel->setText(UnitName(index));
    ui->BelowUnitsPanel->setText(UnitName(index));
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
