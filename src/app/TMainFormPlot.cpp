// The main window's plot navigation: zoom and pan buttons, Reset, Crop and
// the keys the window sees before its controls.
#include "TMainForm.h"
#include "plot/Navigation.h"
#include "plotui/TEditInfoForm.h"
#include "plotui/TPlotBox.h"
#include "plotui/TScaleForm.h"
#include "ui_TMainForm.h"
#include "widgets/EventHooks.h"
#include "widgets/WaitCursor.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>

namespace vexa {

namespace {

// The plot takes all but two rows of the page; the rows' buttons may be as
// narrow as their captions, narrower than the style's usual button.
void FitDataPageControls(QWidget* page)
{
    for (QPushButton* button : page->findChildren<QPushButton*>()) {
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        const int frame =
            button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) +
                                2 * (margin + frame) + 2);
        button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
}

} // namespace

void TMainForm::WirePlotHandlers()
{
    connect(ui->ZoomInBtn, &QPushButton::clicked, this, [this] { Navigate(ZoomIn(Plot)); });
    connect(ui->ZoomOutBtn, &QPushButton::clicked, this, [this] { Navigate(ZoomOut(Plot)); });
    connect(ui->ZoomResetBtn, &QPushButton::clicked, this,
            [this] { Navigate(ResetToFull(Plot, Full)); });
    connect(ui->ZoomCropBtn, &QPushButton::clicked, this, &TMainForm::ZoomCropBtnClick);
    const std::pair<QAbstractButton*, PanDirection> pans[] = {{ui->PanLtBtn, PanDirection::Left},
                                                              {ui->PanRtBtn, PanDirection::Right},
                                                              {ui->PanUpBtn, PanDirection::Up},
                                                              {ui->PanDnBtn, PanDirection::Down}};
    for (const auto& [button, direction] : pans) {
        const PanDirection d = direction;
        connect(button, &QAbstractButton::clicked, this, [this, d] { Navigate(Pan(Plot, d)); });
    }
    connect(ui->ScaleBtn, &QPushButton::clicked, this, &TMainForm::ScaleBtnClick);
    connect(ui->EditBtn, &QPushButton::clicked, this, &TMainForm::EditBtnClick);

    FitDataPageControls(ui->DataPage);
    TPlotBox* box = ui->PlotBox;
    connect(box, &TPlotBox::XYTextChanged, ui->XYDisp, &QLabel::setText);
    connect(box, &TPlotBox::ROCTextChanged, ui->ROCDisp, &QLabel::setText);
    // A click on the plot takes the focus to its page.
    OnEvent(box, [this](QEvent* event) {
        if (event->type() == QEvent::MouseButtonPress)
            ui->DataPage->setFocus();
        return false;
    });
    connect(MouseButtons, &QButtonGroup::idClicked, box,
            [box](int id) { box->SetMouseMode(static_cast<MouseMode>(id)); });

    ScaleForm = new TScaleForm(Plot, Full, Store, Prompts, this);
    connect(ScaleForm, &TScaleForm::PlotChanged, box, &TPlotBox::PlotChanged);
    EditInfoForm =
        new TEditInfoForm(Plot, Show, this, deps_.colors ? deps_.colors : &dialogColors_);
    connect(EditInfoForm, &TEditInfoForm::PlotChanged, box, &TPlotBox::PlotChanged);

    // The window sees keys before its controls.
    qApp->installEventFilter(this);
}

void TMainForm::ScaleBtnClick()
{
    ScaleForm->exec();
}

void TMainForm::EditBtnClick()
{
    EditInfoForm->exec();
}

void TMainForm::Navigate(bool changed)
{
    if (changed)
        PlotChanged();
}

void TMainForm::PlotChanged()
{
    ui->PlotBox->PlotChanged();
}

void TMainForm::ZoomCropBtnClick()
{
    WaitCursor wait;
    CropToWindow(Store, Plot, Full);
    PlotChanged();
}

bool TMainForm::FormKeyDown(QKeyEvent* event)
{
    if (Downloading)
        return false;
    const bool plotPage = ui->PageControl1->currentWidget() == ui->DataPage;
    const PlotKey action = PlotKeyAction(event->key(), event->modifiers(), plotPage);
    if (action == PlotKey::None)
        return false;
    Navigate(ApplyPlotKey(Plot, action));
    return true;
}

} // namespace vexa
