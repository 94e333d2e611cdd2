#include "TEditInfoForm.h"

#include "ui_TEditInfoForm.h"
#include "widgets/EventHooks.h"

#include <QShowEvent>

namespace vexa {

namespace {

ColorRef ToColorRef(const QColor& c)
{
    return Rgb(c.red(), c.green(), c.blue());
}

} // namespace

TEditInfoForm::TEditInfoForm(PlotRecord& plot, ShowFlags& show, QWidget* parent,
                             ColorChooser* chooser)
    : QDialog(parent), ui(std::make_unique<Ui::TEditInfoForm>()), plot_(plot), show_(show),
      chooser_(chooser)
{
    ui->setupUi(this);
    if (!chooser_) {
        ownChooser_ = std::make_unique<DialogColorChooser>();
        chooser_ = ownChooser_.get();
    }
    colorSlots_ = {{{ui->BGColorPanel, &PlotRecord::BGColor, "BGColorDlg"},
                    {ui->GridColorPanel, &PlotRecord::GridColor, "GridColorDlg"},
                    {ui->ScaleColorPanel, &PlotRecord::ScaleColor, "ScaleColorDlg"},
                    {ui->LabelColorPanel, &PlotRecord::LabelColor, "LabelColorDlg"},
                    {ui->InfoColorPanel, &PlotRecord::InfoColor, "InfoColorDlg"}}};
    // The panels take the focus, so the keyboard reaches them too.
    for (const ColorSlot& slot : colorSlots_)
        OnActivate(slot.panel, [this, &slot] { ColorPanelClick(slot); });
    // Set only from the saved settings.
    ui->ShowROCChk->hide();
    for (std::size_t i = 0; i < colorSlots_.size(); ++i)
        saved_[i] = plot_.*colorSlots_[i].color;
    LoadShowBoxes();
    PaintPanels();

    connect(ui->ShowInfoChk, &QCheckBox::clicked, this, [this](bool on) {
        show_.ShowInfo = on;
        emit PlotChanged();
    });
    connect(ui->ShowBackgroundChk, &QCheckBox::clicked, this, [this](bool on) {
        show_.ShowBackground = on;
        emit PlotChanged();
    });
    connect(ui->ShowROCChk, &QCheckBox::clicked, this, [this](bool on) {
        show_.ShowAvgROC = on;
        emit PlotChanged();
    });
    connect(ui->OKBtn, &QPushButton::clicked, this, &TEditInfoForm::accept);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &TEditInfoForm::reject);
}

TEditInfoForm::~TEditInfoForm() = default;

void TEditInfoForm::LoadShowBoxes()
{
    ui->ShowInfoChk->setChecked(show_.ShowInfo);
    ui->ShowBackgroundChk->setChecked(show_.ShowBackground);
    ui->ShowROCChk->setChecked(show_.ShowAvgROC);
}

void TEditInfoForm::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TEditInfoForm::FormShow()
{
    ui->TitleText->setText(plot_.Title);
    ui->XAxisText->setText(plot_.XAxisLabel);
    ui->YAxisText->setText(plot_.YAxisLabel);
    ui->Info1Text->setText(plot_.Info1);
    ui->Info2Text->setText(plot_.Info2);
    ui->Info3Text->setText(plot_.Info3);
    for (std::size_t i = 0; i < colorSlots_.size(); ++i)
        saved_[i] = plot_.*colorSlots_[i].color;
    LoadShowBoxes();
    PaintPanels();
    ui->TitleText->setFocus();
}

void TEditInfoForm::PaintPanels()
{
    for (const ColorSlot& slot : colorSlots_) {
        QPalette palette = slot.panel->palette();
        palette.setColor(QPalette::Window, ToQColor(plot_.*slot.color));
        slot.panel->setPalette(palette);
    }
}

void TEditInfoForm::ColorPanelClick(const ColorSlot& slot)
{
    const std::optional<QColor> chosen =
        chooser_->Choose(this, QString::fromLatin1(slot.dialogName), ToQColor(plot_.*slot.color));
    if (!chosen)
        return;
    plot_.*slot.color = ToColorRef(*chosen);
    PaintPanels();
    emit PlotChanged();
}

void TEditInfoForm::accept()
{
    SetPlotText(plot_.Title, ui->TitleText->text());
    SetPlotText(plot_.XAxisLabel, ui->XAxisText->text());
    SetPlotText(plot_.YAxisLabel, ui->YAxisText->text());
    SetPlotText(plot_.Info1, ui->Info1Text->text());
    SetPlotText(plot_.Info2, ui->Info2Text->text());
    SetPlotText(plot_.Info3, ui->Info3Text->text());
    QDialog::accept();
    emit PlotChanged();
}

void TEditInfoForm::reject()
{
    for (std::size_t i = 0; i < colorSlots_.size(); ++i)
        plot_.*colorSlots_[i].color = saved_[i];
    PaintPanels();
    QDialog::reject();
    emit PlotChanged();
}

} // namespace vexa
