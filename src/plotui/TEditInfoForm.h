#pragma once

#include "plot/PlotRecord.h"
#include "widgets/Choosers.h"

#include <QDialog>
#include <array>
#include <memory>

class QFrame;

namespace Ui {
class TEditInfoForm;
}

namespace vexa {

// "Edit Plot Info": the plot's six text lines, its five colours and the show
// boxes. Colours and boxes act at once; the texts on OK; Cancel puts the
// colours back but leaves the boxes as they are. Shown modally with exec().
class TEditInfoForm : public QDialog {
    Q_OBJECT

public:
    // chooser asks for colours; the platform's colour dialog when null.
    TEditInfoForm(PlotRecord& plot, ShowFlags& show, QWidget* parent = nullptr,
                  ColorChooser* chooser = nullptr);
    ~TEditInfoForm() override;

    // The boxes show the flags; for settings read after construction.
    void LoadShowBoxes();

public slots:
    void accept() override;
    void reject() override;

signals:
    // Something the plot draws changed: a colour, a box, or the texts.
    void PlotChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct ColorSlot {
        QFrame* panel;
        ColorRef PlotRecord::*color;
        const char* dialogName;
    };

    void FormShow();
    void ColorPanelClick(const ColorSlot& slot);
    void PaintPanels();

    std::unique_ptr<Ui::TEditInfoForm> ui;
    PlotRecord& plot_;
    ShowFlags& show_;
    std::unique_ptr<ColorChooser> ownChooser_;
    ColorChooser* chooser_;
    std::array<ColorSlot, 5> colorSlots_;
    std::array<ColorRef, 5> saved_{};
};

} // namespace vexa
