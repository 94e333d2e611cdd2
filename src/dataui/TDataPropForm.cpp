#include "TDataPropForm.h"

#include "StyleGlyphs.h"
#include "data/Corrections.h"
#include "ui_TDataPropForm.h"

#include <QFileInfo>
#include <QItemSelectionModel>
#include <QShowEvent>
#include <QUrl>

namespace vexa {

namespace {

QColor ToColor(ColorRef c)
{
    return QColor(int(c & 0xff), int(c >> 8 & 0xff), int(c >> 16 & 0xff));
}

ColorRef FromColor(const QColor& c)
{
    return Rgb(c.red(), c.green(), c.blue());
}

// A style the combo does not list (a hand-edited file) shows as no choice,
// which Apply leaves alone.
void ShowStyle(QComboBox* combo, int style)
{
    combo->setCurrentIndex(style >= 0 && style < combo->count() ? style : -1);
}

} // namespace

TDataPropForm::TDataPropForm(DataSetStore& store, DataPropDeps deps, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TDataPropForm>()), store_(store),
      deps_(std::move(deps))
{
    ui->setupUi(this);

    ui->SetListBox->setModel(store_.Names());
    ui->SetListBox->setSelectionMode(QAbstractItemView::SingleSelection);
    ui->SetListBox->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(ui->SetListBox->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        ShowSelected();
        UpdateActions();
    });

    DecorateStyleCombo(*ui->LineStyleCombo, StyleKind::Line);
    DecorateStyleCombo(*ui->PointStyleCombo, StyleKind::Point);
    DecorateStyleCombo(*ui->TrigStyleCombo, StyleKind::Point);

    for (Swatch s : {LineSwatch, PointSwatch, TrigSwatch}) {
        SetSwatch(s, 0);
        connect(SwatchButton(s), &QPushButton::clicked, this, [this, s] { SwatchClick(s); });
    }
    connect(ui->ApplyBtn, &QPushButton::clicked, this, &TDataPropForm::ApplyBtnClick);
    connect(ui->DelSetBtn, &QPushButton::clicked, this, &TDataPropForm::DelSetBtnClick);
    connect(ui->DriftBtn, &QPushButton::clicked, this, &TDataPropForm::DriftBtnClick);
    connect(ui->OffsetBtn, &QPushButton::clicked, this, &TDataPropForm::OffsetBtnClick);
    connect(ui->PhotoBtn, &QPushButton::clicked, this, &TDataPropForm::PhotoBtnClick);
    connect(ui->OKBtn, &QPushButton::clicked, this, &TDataPropForm::accept);
    UpdateActions();
}

TDataPropForm::~TDataPropForm() = default;

void TDataPropForm::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TDataPropForm::FormShow()
{
    SelectSet(0);
    // Reselecting the same row emits nothing, so load it here as well.
    ShowSelected();
    UpdateActions();
}

int TDataPropForm::SelectedSet() const
{
    const QModelIndexList rows = ui->SetListBox->selectionModel()->selectedIndexes();
    if (rows.isEmpty())
        return -1;
    const int k = rows.constFirst().row();
    return k < store_.SetCount() ? k : -1;
}

void TDataPropForm::SelectSet(int k)
{
    QItemSelectionModel* selection = ui->SetListBox->selectionModel();
    if (k < 0 || k >= store_.SetCount()) {
        selection->clearSelection();
        return;
    }
    ui->SetListBox->setCurrentIndex(store_.Names()->index(k));
    selection->select(store_.Names()->index(k), QItemSelectionModel::ClearAndSelect);
}

void TDataPropForm::ShowSelected()
{
    const int k = SelectedSet();
    if (k < 0)
        return;
    const DataSetRecord& set = store_.Set(k);
    const DataSetRecord* triggers = set.triggers;
    ui->SignalDisplayNameEdit->setText(set.name);
    SetSwatch(LineSwatch, set.lineColor);
    SetSwatch(PointSwatch, set.pointColor);
    SetSwatch(TrigSwatch, triggers ? triggers->pointColor : set.pointColor);
    ShowStyle(ui->LineStyleCombo, set.lineStyle);
    ShowStyle(ui->PointStyleCombo, set.pointStyle);
    ShowStyle(ui->TrigStyleCombo, triggers ? triggers->pointStyle : -1);
    ui->XOffsetEdit->setText(BoxNumber(set.timeOffset));
    ui->YOffsetEdit->setText(BoxNumber(set.altitudeOffset));
    ui->XScaleEdit->setText(BoxNumber(set.timeScale));
    ui->YScaleEdit->setText(BoxNumber(set.altitudeScale));
    ui->Note1Edit->setText(set.note1);
    ui->Note2Edit->setText(set.note2);
    ui->Note3Edit->setText(set.note3);
    ui->PhotoBtn->setVisible(triggers && triggers->visible);
}

void TDataPropForm::ApplyBtnClick()
{
    const int k = SelectedSet();
    if (k < 0)
        return;
    SetProperties p;
    p.name = ui->SignalDisplayNameEdit->text();
    p.lineColor = swatches_[LineSwatch];
    p.pointColor = swatches_[PointSwatch];
    p.trigColor = swatches_[TrigSwatch];
    p.lineStyle = ui->LineStyleCombo->currentIndex();
    p.pointStyle = ui->PointStyleCombo->currentIndex();
    p.trigStyle = ui->TrigStyleCombo->currentIndex();
    p.timeOffset = ui->XOffsetEdit->text();
    p.altitudeOffset = ui->YOffsetEdit->text();
    p.timeScale = ui->XScaleEdit->text();
    p.altitudeScale = ui->YScaleEdit->text();
    p.note1 = ui->Note1Edit->text();
    p.note2 = ui->Note2Edit->text();
    p.note3 = ui->Note3Edit->text();
    if (ApplyProperties(store_, k, p).changed) {
        SelectSet(k);
        emit PlotChanged(false);
    }
}

void TDataPropForm::DelSetBtnClick()
{
    const int k = SelectedSet();
    if (k < 0)
        return;
    store_.DeleteDataSet(k);
    SelectSet(0);
    ShowSelected();
    UpdateActions();
    emit PlotChanged(false);
}

void TDataPropForm::DriftBtnClick()
{
    const int k = SelectedSet();
    if (k < 0)
        return;
    const CorrectionResult r = FixDrift(store_, k, deps_.plot.info3);
    if (!r.reason.isEmpty())
        Warn(QStringLiteral("Vexa"), r.reason);
    if (r.changed)
        emit PlotChanged(r.altitudesChanged);
}

void TDataPropForm::OffsetBtnClick()
{
    const int k = SelectedSet();
    if (k < 0)
        return;
    const CorrectionResult r = FixOffset(store_, k);
    if (!r.reason.isEmpty())
        Warn(QStringLiteral("Vexa"), r.reason);
    if (!r.changed)
        return;
    // The new maximum must survive a later Apply.
    ui->Note3Edit->setText(store_.Set(k).note3);
    emit PlotChanged(r.altitudesChanged);
}

void TDataPropForm::PhotoBtnClick()
{
    const int k = SelectedSet();
    if (k < 0)
        return;
    const FileDialogSetup setup{
        QStringLiteral("ExportPhotoDlg"), QStringLiteral("Export Photo Info"),
        QStringLiteral("Photo List (*.txt);;All Files (*)"), QStringLiteral("txt"), photoFile_};
    const QString chosen = deps_.files.SaveFileName(this, setup);
    if (!chosen.isEmpty()) {
        photoFile_ = chosen;
        const QString list =
            PhotoList(store_, k, deps_.plot.title, deps_.plot.xAxisLabel, deps_.plot.yAxisLabel);
        if (!WritePhotoList(photoFile_, list)) {
            Warn(QStringLiteral("Error"), QStringLiteral("Unable to open %1!").arg(photoFile_));
            return;
        }
    }
    // A cancelled dialog still shows the list exported last time.
    if (!photoFile_.isEmpty() && QFileInfo::exists(photoFile_))
        deps_.shell.Open(QUrl::fromLocalFile(photoFile_));
}

void TDataPropForm::SwatchClick(Swatch which)
{
    const auto chosen =
        deps_.colors.Choose(this, SwatchButton(which)->objectName() + QStringLiteral("Dlg"),
                            ToColor(swatches_[std::size_t(which)]));
    if (chosen)
        SetSwatch(which, FromColor(*chosen));
}

QPushButton* TDataPropForm::SwatchButton(Swatch which) const
{
    switch (which) {
    case LineSwatch:
        return ui->Line_Clr;
    case PointSwatch:
        return ui->Pt_Clr;
    default:
        return ui->Trig_Clr;
    }
}

void TDataPropForm::SetSwatch(Swatch which, ColorRef color)
{
    swatches_[std::size_t(which)] = color;
    QPushButton* button = SwatchButton(which);
    const QString name = ToColor(color).name();
    button->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; border: 1px solid black; }").arg(name));
    button->setAccessibleDescription(name);
}

void TDataPropForm::UpdateActions()
{
    const int k = SelectedSet();
    for (QPushButton* b : {ui->ApplyBtn, ui->DelSetBtn, ui->DriftBtn, ui->OffsetBtn, ui->PhotoBtn})
        b->setEnabled(k >= 0);
    if (k < 0)
        ui->PhotoBtn->setVisible(false);
}

void TDataPropForm::Warn(const QString& caption, const QString& text)
{
    deps_.prompts.Warn(caption, text);
}

} // namespace vexa
