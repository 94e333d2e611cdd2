#include "TScaleForm.h"

#include "plot/Navigation.h"
#include "ui_TScaleForm.h"

#include <QShowEvent>

namespace vexa {

TScaleForm::TScaleForm(PlotRecord& plot, FullExtent& full, const DataSetStore& store,
                       Prompter& prompts, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TScaleForm>()), plot_(plot), full_(full),
      store_(store), prompts_(prompts)
{
    ui->setupUi(this);
    connect(ui->OKBtn, &QPushButton::clicked, this, &TScaleForm::accept);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &TScaleForm::reject);
    connect(ui->AutoBtn, &QPushButton::clicked, this, &TScaleForm::AutoBtnClick);
}

TScaleForm::~TScaleForm() = default;

void TScaleForm::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TScaleForm::FormShow()
{
    const WindowTexts t = WindowToTexts(plot_);
    ui->XMinEdit->setText(t.timeMin);
    ui->XMaxEdit->setText(t.timeMax);
    ui->YMinEdit->setText(t.altitudeMin);
    ui->YMaxEdit->setText(t.altitudeMax);
    ui->XMinEdit->setFocus();
}

void TScaleForm::AutoBtnClick()
{
    FitWindowToData(store_, plot_, full_);
    // Time Min offers 0, not the fitted minimum: recordings are timed from their start.
    ui->XMinEdit->setText(WindowNumberText(0));
    ui->XMaxEdit->setText(WindowNumberText(plot_.view.TimeMax));
    ui->YMinEdit->setText(WindowNumberText(plot_.view.AltitudeMin));
    ui->YMaxEdit->setText(WindowNumberText(plot_.view.AltitudeMax));
}

void TScaleForm::accept()
{
    const WindowTexts typed{ui->XMinEdit->text(), ui->XMaxEdit->text(), ui->YMinEdit->text(),
                            ui->YMaxEdit->text()};
    const QString problem = ApplyWindowTexts(typed, plot_, full_);
    if (!problem.isEmpty()) {
        prompts_.Warn(QStringLiteral("Vexa"), problem);
        return;
    }
    QDialog::accept();
}

void TScaleForm::done(int result)
{
    QDialog::done(result);
    emit PlotChanged();
}

} // namespace vexa
