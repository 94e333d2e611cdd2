// The main window's settings kept between runs: each value lives in its
// control or record during the run and is read and written only here.
#include "TMainForm.h"
#include "plotui/TEditInfoForm.h"
#include "ui_TMainForm.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

namespace vexa {

AppSettings TMainForm::CurrentSettings() const
{
    AppSettings s;
    s.ComPort = ui->CommPortBox->currentIndex();
    s.BaudRate = Session->SpeedIndex();
    s.Left = pos().x();
    s.Top = pos().y();
    s.SimulateTarget = ui->SimulateChk->isChecked();
    s.ShowPoints = ui->ShowPointsChk->isChecked();
    s.ShowInfo = Show.ShowInfo;
    s.ShowBackground = Show.ShowBackground;
    s.ShowAvgROC = Show.ShowAvgROC;
    s.Sizeable = ui->SizeChk->isChecked();
    s.PrtWidth = Output.width;
    s.PrtHeight = Output.height;
    s.PrtColor = Output.colorBox;
    s.BGColor = Plot.BGColor;
    s.GridColor = Plot.GridColor;
    s.ScaleColor = Plot.ScaleColor;
    s.LabelColor = Plot.LabelColor;
    s.InfoColor = Plot.InfoColor;
    s.ExportType = Output.exportType;
    Page->TakeSettings(s);
    return s;
}

void TMainForm::ApplySettings(const AppSettings& s)
{
    // Port and speed wait for the end of the first show.
    Session->SetSpeedIndex(s.BaudRate);
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        move(PlaceOnScreen(QPoint(s.Left, s.Top), frameGeometry().size(), screens,
                           primary->availableGeometry()));
    ui->SimulateChk->setChecked(s.SimulateTarget);
    ui->ShowPointsChk->setChecked(s.ShowPoints);
    Show.ShowInfo = s.ShowInfo;
    Show.ShowBackground = s.ShowBackground;
    Show.ShowAvgROC = s.ShowAvgROC;
    EditInfoForm->LoadShowBoxes();
    ui->SizeChk->setChecked(s.Sizeable);
    Output.width = s.PrtWidth;
    Output.height = s.PrtHeight;
    Output.colorBox = s.PrtColor;
    Plot.BGColor = s.BGColor;
    Plot.GridColor = s.GridColor;
    Plot.ScaleColor = s.ScaleColor;
    Plot.LabelColor = s.LabelColor;
    Plot.InfoColor = s.InfoColor;
    Output.exportType = s.ExportType;
    Page->ApplySettings(s);
    PlotChanged();
}

void TMainForm::LoadSettings()
{
    // Values that cannot be read keep what their holders have now.
    AppSettings values = CurrentSettings();
    const auto store = OpenSettingsStore(deps_.settingsFile);
    const int read = ReadSettings(*store, values);
    StoredPort = read > 0 ? std::optional<int>(values.ComPort) : std::nullopt;
    ApplySettings(values);
}

void TMainForm::SaveSettings()
{
    // A store that cannot be written is passed over in silence.
    const auto store = OpenSettingsStore(deps_.settingsFile);
    WriteSettings(*store, CurrentSettings());
}

void TMainForm::ShowPointsChkClick(bool checked)
{
    Show.ShowPoints = checked;
    PlotChanged();
}

} // namespace vexa
