#include "TPrtLocForm.h"

#include "output/PlotOutput.h"
#include "plot/Navigation.h"
#include "ui_TPrtLocForm.h"

#include <QMessageBox>
#include <QShowEvent>

namespace vexa {

namespace {

// A text that does not begin with a number keeps the current value.
double ReadInches(const QLineEdit* edit, double current)
{
    return LeadingNumber(edit->text().left(PlotTextMax)).value_or(current);
}

} // namespace

TPrtLocForm::TPrtLocForm(OutputSettings& out, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TPrtLocForm>()), out_(out)
{
    ui->setupUi(this);
    warn_ = [this](const QString& text) {
        QMessageBox::warning(this, QStringLiteral("Vexa"), text);
    };
    connect(ui->OKBtn, &QPushButton::clicked, this, &TPrtLocForm::accept);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &TPrtLocForm::reject);
}

TPrtLocForm::~TPrtLocForm() = default;

int TPrtLocForm::ExecForPrint()
{
    ui->WidthEdit->setText(QString::asprintf("%g", out_.width));
    ui->HeightEdit->setText(QString::asprintf("%g", out_.height));
    SetPlaceEnabled(true);
    return exec();
}

int TPrtLocForm::ExecForExport()
{
    SetPlaceEnabled(false);
    return exec();
}

void TPrtLocForm::SetPlaceEnabled(bool enabled)
{
    placed_ = enabled;
    for (QWidget* w : {static_cast<QWidget*>(ui->LeftLabel), static_cast<QWidget*>(ui->LeftEdit),
                       static_cast<QWidget*>(ui->TopLabel), static_cast<QWidget*>(ui->TopEdit)})
        w->setEnabled(enabled);
}

void TPrtLocForm::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        ui->ColorChk->setChecked(out_.colorBox);
    QDialog::showEvent(event);
}

void TPrtLocForm::accept()
{
    const double width = ReadInches(ui->WidthEdit, out_.width);
    const double height = ReadInches(ui->HeightEdit, out_.height);
    QString problem = CheckOutputSize(width, height);
    double left = out_.left, top = out_.top;
    if (placed_ && problem.isEmpty()) {
        left = ReadInches(ui->LeftEdit, left);
        top = ReadInches(ui->TopEdit, top);
        problem = CheckOutputPlace(left, top);
    }
    if (!problem.isEmpty()) {
        warn_(problem);
        return;
    }
    out_.width = width;
    out_.height = height;
    out_.left = left;
    out_.top = top;
    out_.color = ui->ColorChk->isChecked();
    QDialog::accept();
}

void TPrtLocForm::done(int result)
{
    // The box keeps its state from one show to the next, confirmed or not.
    out_.colorBox = ui->ColorChk->isChecked();
    QDialog::done(result);
}

} // namespace vexa
