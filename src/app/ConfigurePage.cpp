#include "ConfigurePage.h"

#include "link/Decimal.h"
#include "ui_TMainForm.h"
#include "widgets/RadioGroup.h"

#include <QLineEdit>
#include <QSpinBox>
#include <array>
#include <utility>

namespace vexa {

namespace {

constexpr int SpinnerWidth = 18;

} // namespace

ConfigurePage::ConfigurePage(Ui::TMainForm& form, ModuleSession& session)
    : ui(form), Session(session)
{
    UnitsButtons = MakeRadioGroup(
        ui.UnitsGrp, {{ui.UnitsFeet, Feet}, {ui.UnitsYards, Yards}, {ui.UnitsMeters, Meters}});
    AutoStartButtons = MakeRadioGroup(ui.AutoStartGrp, {{ui.AutoStartOff, StartOff},
                                                        {ui.AutoStartPowerup, StartAfterPowerup},
                                                        {ui.AutoStartAltitude, StartAboveAltitude},
                                                        {ui.AutoStartTrigger, StartOnTrigger}});
    AutoStopButtons = MakeRadioGroup(ui.AutoStopGrp, {{ui.AutoStopOff, StopOff},
                                                      {ui.AutoStopTime, StopAfterTime},
                                                      {ui.AutoStopAltitude, StopBelowAltitude}});
    AutoZeroButtons = MakeRadioGroup(ui.AutoZeroGrp, {{ui.AutoZeroOff, ZeroOff},
                                                      {ui.AutoZeroTrigger, ZeroOnTrigger},
                                                      {ui.AutoZeroPowerup, ZeroOnPowerup},
                                                      {ui.AutoZeroStart, ZeroOnStart}});
    // The interval spinners are bare up/down arrows beside their readouts;
    // the readout panels show the value.
    for (QSpinBox* spin : Spinners()) {
        if (auto* edit = spin->findChild<QLineEdit*>())
            edit->hide();
        spin->setFixedSize(SpinnerWidth, ui.HourPanel->minimumHeight());
    }
    ShowRecordTime();
    // What the page says until the module's interval is known.
    ui.Msg1->setText(QStringLiteral("Approximate Record Time: 01 hours 08 min 16.00 sec"));
}

void ConfigurePage::OnSpin(QObject* context, std::function<void(IntervalPart, int)> handler)
{
    const std::array<QSpinBox*, 4> spinners = Spinners();
    for (std::size_t k = 0; k < spinners.size(); ++k)
        QObject::connect(spinners[k], &QSpinBox::valueChanged, context,
                         [handler, part = IntervalParts[k]](int value) { handler(part, value); });
}

void ConfigurePage::OnUnits(QObject* context, std::function<void(int)> handler)
{
    QObject::connect(UnitsButtons, &QButtonGroup::idClicked, context, std::move(handler));
}

void ConfigurePage::ShowConfig()
{
    const ModuleConfig& Config = Session.Config;
    SelectItem(UnitsButtons, Config.UA);
    ShowUnits(Config.UA);
    Interval = SplitInterval(std::uint32_t(Config.SR) * Config.SI);
    ui.TrigChk->setChecked(Config.RT != 0);
    ui.RevTrigChk->setChecked(Config.RV != 0);
    ShowRecordTime();
    ShowAutoOptions({Config.AS, Config.ST, Config.SA, Config.AP, Config.PT, Config.PA, Config.AZ});
    for (QWidget* group : {ui.AutoStartGrp, ui.AutoStopGrp, ui.AutoZeroGrp})
        group->setVisible(true);
}

std::array<QSpinBox*, 4> ConfigurePage::Spinners() const
{
    return {ui.HourSpin, ui.MinSpin, ui.SecSpin, ui.mSecSpin};
}

ConfigControls ConfigurePage::Controls() const
{
    ConfigControls c;
    c.interval = Interval;
    c.unitsIndex = UnitsButtons->checkedId();
    c.trigger = ui.TrigChk->isChecked();
    c.reverseTrigger = ui.RevTrigChk->isChecked();
    c.autoStart = AutoStartButtons->checkedId();
    c.autoStop = AutoStopButtons->checkedId();
    c.autoZero = AutoZeroButtons->checkedId();
    c.startAltitude = ui.AutoStartAltitudeEdit->text();
    c.stopAltitude = ui.AutoStopAltitudeEdit->text();
    c.startSeconds = ui.AutoStartSecEdit->text();
    c.stopSeconds = ui.AutoStopSecEdit->text();
    return c;
}

std::optional<ModuleConfig> ConfigurePage::ConfigFromPage()
{
    const std::optional<ConfigToWrite> out = ConfigFromControls(Controls(), Session.Config);
    if (!out)
        return std::nullopt;
    ui.AutoStartSecEdit->setText(out->startSeconds);
    ui.AutoStopSecEdit->setText(out->stopSeconds);
    return out->config;
}

void ConfigurePage::SpinClick(IntervalPart part, int value)
{
    const int current = Interval.Part(part);
    if (value == current)
        return;
    Interval = SpinInterval(Interval, part, value > current, Session.Config.SI);
    ShowRecordTime();
}

void ConfigurePage::ShowUnits(int index)
{
    ui.AboveUnitsPanel->setText(UnitName(index));
    ui.BelowUnitsPanel->setText(UnitName(index));
}

void ConfigurePage::ShowRecordTime()
{
    const std::uint16_t si = Session.Config.SI;
    Interval = NormalizeInterval(Interval, si);
    ui.HourPanel->setText(QString::number(Interval.hours));
    ui.MinutePanel->setText(QStringLiteral("%1").arg(Interval.minutes, 2, 10, QLatin1Char('0')));
    ui.SecondPanel->setText(QStringLiteral("%1").arg(Interval.seconds, 2, 10, QLatin1Char('0')));
    ui.mSecPanel->setText(QStringLiteral("%1").arg(Interval.milliseconds, 3, 10, QLatin1Char('0')));
    // The spinners mirror the parts. The milliseconds one reaches exactly the
    // next step either way, so its arrows follow SI.
    {
        const QSignalBlocker quiet(ui.mSecSpin);
        const IntervalPart ms = IntervalPart::Milliseconds;
        ui.mSecSpin->setRange(SpinInterval(Interval, ms, false, si).milliseconds,
                              SpinInterval(Interval, ms, true, si).milliseconds);
        ui.mSecSpin->setSingleStep(si > 0 ? si : 1);
    }
    const std::array<QSpinBox*, 4> spinners = Spinners();
    for (std::size_t k = 0; k < spinners.size(); ++k) {
        const QSignalBlocker quiet(spinners[k]);
        spinners[k]->setValue(Interval.Part(IntervalParts[k]));
    }
    ui.Msg1->setText(RecordTimeText(Interval.TotalMs()));
}

void ConfigurePage::TakeSettings(AppSettings& s) const
{
    s.RevTrig = ui.RevTrigChk->isChecked();
    s.Triggered = ui.TrigChk->isChecked();
    s.AutoStart = AutoStartButtons->checkedId();
    s.AutoStartSec = LeadingInt(ui.AutoStartSecEdit->text());
    s.AutoStartAltitude = LeadingInt(ui.AutoStartAltitudeEdit->text());
    s.AutoStop = AutoStopButtons->checkedId();
    s.AutoStopSec = LeadingInt(ui.AutoStopSecEdit->text());
    s.AutoStopAltitude = LeadingInt(ui.AutoStopAltitudeEdit->text());
    s.AutoZero = AutoZeroButtons->checkedId();
    s.Interval = Session.Config.SI;
}

void ConfigurePage::ShowAutoOptions(const AutoOptions& o)
{
    SelectItem(AutoStartButtons, o.start);
    ui.AutoStartSecEdit->setText(QString::number(o.startSeconds));
    ui.AutoStartAltitudeEdit->setText(QString::number(o.startAltitude));
    SelectItem(AutoStopButtons, o.stop);
    ui.AutoStopSecEdit->setText(QString::number(o.stopSeconds));
    ui.AutoStopAltitudeEdit->setText(QString::number(o.stopAltitude));
    SelectItem(AutoZeroButtons, o.zero);
}

void ConfigurePage::ApplySettings(const AppSettings& s)
{
    ui.RevTrigChk->setChecked(s.RevTrig);
    ui.TrigChk->setChecked(s.Triggered);
    ShowAutoOptions({s.AutoStart, s.AutoStartSec, s.AutoStartAltitude, s.AutoStop, s.AutoStopSec,
                     s.AutoStopAltitude, s.AutoZero});
    ui.AutoZeroChk->setChecked(s.AutoZero == ZeroOnPowerup);
    Session.Config.SI = s.Interval;
    ShowRecordTime();
}

} // namespace vexa
