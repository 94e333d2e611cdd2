// The main window's data set actions: download into the store, data files
// and what is not saved yet.
#include "TMainForm.h"
#include "data/Corrections.h"
#include "data/DataFile.h"
#include "data/Download.h"
#include "dataui/TDataPropForm.h"
#include "dataui/TSaveSel.h"
#include "plot/Navigation.h"
#include "ui_TMainForm.h"
#include "widgets/WaitCursor.h"

#include <QDate>
#include <QTimer>

namespace vexa {
namespace {

constexpr int RepaintEveryMs = 30;

} // namespace

void TMainForm::WireDataHandlers()
{
    ui->ActiveSetCombo->setModel(Store.Names());
    connect(ui->ActiveSetCombo, &QComboBox::currentIndexChanged, &Store,
            &DataSetStore::SetActiveSet);
    connect(&Store, &DataSetStore::ActiveSetChanged, ui->ActiveSetCombo,
            &QComboBox::setCurrentIndex);
    connect(ui->DLDataBtn, &QPushButton::clicked, this, &TMainForm::DLDataBtnClick);
    connect(ui->DataPropBtn, &QPushButton::clicked, this, &TMainForm::DataPropBtnClick);
    connect(ui->AutoOffsetBtn, &QPushButton::clicked, this, &TMainForm::AutoOffsetBtnClick);

    DataPropDeps props{PlotTexts{Plot.Title, Plot.XAxisLabel, Plot.YAxisLabel, Plot.Info3},
                       deps_.files ? *deps_.files : dialogFiles_,
                       deps_.colors ? *deps_.colors : dialogColors_, deps_.shell, Prompts};
    DataPropForm = new TDataPropForm(Store, props, this);
    DataPropForm->setObjectName(QStringLiteral("TDataPropForm"));
    connect(DataPropForm, &TDataPropForm::PlotChanged, this, &TMainForm::DataPropChanged);

    SaveSel = new TSaveSel(this);
    SaveSel->setObjectName(QStringLiteral("TSaveSel"));
    connect(ui->SaveBtn, &QPushButton::clicked, this, &TMainForm::SaveBtnClick);
    connect(ui->LoadBtn, &QPushButton::clicked, this, &TMainForm::LoadBtnClick);
}

FileChooser& TMainForm::Files()
{
    return deps_.files ? *deps_.files : dialogFiles_;
}

namespace {

FileDialogSetup DataFileDialog(const char* name, const char* title, const QString& file)
{
    return {QLatin1String(name), QLatin1String(title),
            QStringLiteral("Data File (*.csv);;All Files (*)"), QStringLiteral("csv"), file};
}

} // namespace

void TMainForm::SaveBtnClick()
{
    if (SaveSel->exec() == QDialog::Accepted)
        SaveDataFile(SaveSel->Selected() == TSaveSel::ActiveDataSet);
}

bool TMainForm::SaveDataFile(bool activeOnly)
{
    const QDate today = QDate::currentDate();
    if (activeOnly && Store.ActiveSet() < 0) {
        Prompts.Warn(QStringLiteral("Vexa"),
                     QStringLiteral("No data set is active: choose one under Active Data Set."));
        return false;
    }
    const QString path = Files().SaveFileName(
        this, DataFileDialog("SaveDialog1", "Save Vexa Data",
                             activeOnly ? DefaultSetFileName(today, LastDownloadSelection)
                                        : DefaultPlotFileName(today)));
    if (path.isEmpty())
        return false;
    WaitCursor wait;
    const int active = Store.ActiveSet();
    const SaveResult result = activeOnly
                                  ? SaveActiveSet(path, Store, active, PlotFileHeaderOf(Plot))
                                  : SavePlot(path, Store, PlotFileHeaderOf(Plot));
    if (!result.ok) {
        Prompts.Warn(QStringLiteral("Error"), result.error);
        return false;
    }
    if (activeOnly)
        Saved.NoteSaved(active);
    for (int k = 0; !activeOnly && k < Store.SetCount(); ++k)
        Saved.NoteSaved(k);
    return true;
}

void TMainForm::LoadBtnClick()
{
    const QString path =
        Files().OpenFileName(this, DataFileDialog("LoadDialog1", "Load Vexa Data", QString()));
    if (!path.isEmpty() && LoadDataFileAt(path)) {
        DataPropForm->SelectSet(0);
        PlotChanged();
    }
}

bool TMainForm::LoadDataFileAt(const QString& path)
{
    LoadResult result;
    {
        WaitCursor wait;
        PlotFileHeader header = PlotFileHeaderOf(Plot);
        result = LoadDataFile(path, Store, header);
        if (result.ok() && result.plotFile)
            ApplyPlotFileHeader(header, Plot);
    }
    if (!result.ok()) {
        Prompts.Warn(QStringLiteral("Error"), result.error);
        return false;
    }
    for (int k = result.firstSet; k < result.firstSet + result.setsAdded; ++k)
        Saved.NoteSaved(k);
    if (!result.warning.isEmpty())
        Prompts.Warn(QStringLiteral("Vexa"), result.warning);
    return true;
}

void TMainForm::OpenDataFiles(const QStringList& paths)
{
    // The download loop owns the store until it ends.
    if (Downloading)
        return;
    // The start-up step may come meanwhile, from a message box's loop: it
    // shows the plot then, and this the Connect page when nothing loaded.
    const bool starting = Timer3->isActive();
    OpenedAtStart = starting;
    bool loaded = false;
    for (const QString& path : paths)
        loaded = LoadDataFileAt(path) || loaded;
    OpenedAtStart = starting && loaded;
    if (!loaded) {
        if (starting && !Timer3->isActive())
            ui->PageControl1->setCurrentWidget(ui->ConnectPage);
        return;
    }
    DataPropForm->SelectSet(0);
    PlotChanged();
    ui->PageControl1->setCurrentWidget(ui->DataPage);
}

bool TMainForm::ConfirmClose()
{
    const QStringList names = Saved.UnsavedNames();
    if (names.isEmpty())
        return true;
    switch (Prompts.AskSaveBeforeClose(QStringLiteral("Vexa"), UnsavedSetsQuestion(names))) {
    case Prompter::SaveAnswer::Save:
        // All of them: only a plot file holds more than one set.
        return SaveDataFile(false);
    case Prompter::SaveAnswer::Discard:
        return true;
    case Prompter::SaveAnswer::Cancel:
        break;
    }
    return false;
}

void TMainForm::DataPropBtnClick()
{
    DataPropForm->exec();
    PlotChanged();
}

void TMainForm::DataPropChanged(bool altitudesChanged)
{
    Extent altitude;
    if (altitudesChanged && Store.ComputeAltitudeExtent(altitude)) {
        Plot.view.AltitudeMin = Full.AltitudeMin = altitude.low;
        Plot.view.AltitudeMax = Full.AltitudeMax = altitude.high;
    }
    PlotChanged();
}

void TMainForm::AutoOffsetBtnClick()
{
    if (AutoOffset(Store))
        PlotChanged();
}

void TMainForm::SetCommandsEnabled(bool enabled)
{
    for (int i = 0; i < ui->PageControl1->count(); ++i)
        ui->PageControl1->widget(i)->setEnabled(enabled);
    ui->CloseBtn->setEnabled(enabled);
}

void TMainForm::DLDataBtnClick()
{
    if (!Connection->RequireConnected(false))
        return;
    int position = ui->SetList->currentIndex();
    if (position > MaxSetPosition)
        position = MaxSetPosition;
    LastDownloadSelection = position;
    if (position < 0) {
        Prompts.Warn(QStringLiteral("Vexa"), QStringLiteral("No data set specified"));
        return;
    }

    WaitCursor wait;
    Downloading = true;
    SetCommandsEnabled(false);
    ui->ProgressBar1->setValue(0);
    ui->ProgressBar1->show();

    // Let the window repaint and the bar move, but not after every sample:
    // a fast line brings thousands of samples a second.
    std::int64_t lastRepaint = deps_.clock.NowMs();
    const DownloadProgress progress = [&](int value) {
        ui->ProgressBar1->setValue(value);
        const std::int64_t now = deps_.clock.NowMs();
        if (now - lastRepaint >= RepaintEveryMs) {
            lastRepaint = now;
            QCoreApplication::processEvents();
        }
    };

    DownloadSets(Session->Link(), Store, position, Session->SetCount, QDate::currentDate(),
                 progress, [this](const SetDownloadResult& result) {
                     for (const QString& line : result.infoLines)
                         Connection->AddInfo(line);
                     if (result.created)
                         SetDownloaded(Session->Config.UA);
                     QCoreApplication::processEvents();
                 });

    ui->ProgressBar1->hide();
    PlotChanged();
    SetCommandsEnabled(true);
    Downloading = false;
}

void TMainForm::SetDownloaded(int units)
{
    FitWindowToData(Store, Plot, Full);
    SetPlotText(Plot.XAxisLabel, DownloadTimeAxisLabel);
    const QString label = AltitudeAxisLabel(units);
    if (!label.isEmpty())
        SetPlotText(Plot.YAxisLabel, label);
}

} // namespace vexa
