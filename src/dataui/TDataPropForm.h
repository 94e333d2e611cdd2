#pragma once

#include "data/DataSetStore.h"
#include "platform/Shell.h"
#include "widgets/Choosers.h"
#include "widgets/Prompter.h"

#include <QDialog>
#include <array>
#include <memory>

class QPushButton;

namespace Ui {
class TDataPropForm;
}

namespace vexa {

// The plot texts the dialog reads for the photo list, and the info line
// that Fix Drift rewrites. They live in the main window's plot record.
struct PlotTexts {
    const QString& title;
    const QString& xAxisLabel;
    const QString& yAxisLabel;
    QString& info3;
};

struct DataPropDeps {
    PlotTexts plot;
    FileChooser& files;
    ColorChooser& colors;
    Shell& shell;
    Prompter& prompts; // failures and refusals
};

// "Data Properties": name, colours, styles, notes and corrections of one
// data set. Shown modally with exec(); every showing starts on the first set.
class TDataPropForm : public QDialog {
    Q_OBJECT

public:
    TDataPropForm(DataSetStore& store, DataPropDeps deps, QWidget* parent = nullptr);
    ~TDataPropForm() override;

    // Loads every control from the set selected in SetListBox; nothing
    // happens when no set is selected.
    void ShowSelected();
    // Selects set k in SetListBox and shows it; -1 or an unknown set clears
    // the selection.
    void SelectSet(int k);
    // -1 when no set is selected.
    int SelectedSet() const;

signals:
    // The plot must be repainted. altitudesChanged: the stored altitudes
    // moved, so the altitude window must be fitted to the data again.
    void PlotChanged(bool altitudesChanged);

protected:
    void showEvent(QShowEvent* event) override;

private:
    enum Swatch { LineSwatch, PointSwatch, TrigSwatch, SwatchCount };

    void FormShow();
    void ApplyBtnClick();
    void DelSetBtnClick();
    void DriftBtnClick();
    void OffsetBtnClick();
    void PhotoBtnClick();
    void SwatchClick(Swatch which);

    void SetSwatch(Swatch which, ColorRef color);
    QPushButton* SwatchButton(Swatch which) const;
    // Buttons that act on a set are off while none is selected.
    void UpdateActions();
    void Warn(const QString& caption, const QString& text);

    std::unique_ptr<Ui::TDataPropForm> ui;
    DataSetStore& store_;
    DataPropDeps deps_;
    std::array<ColorRef, SwatchCount> swatches_{};
    // The photo list last named in the export dialog.
    QString photoFile_;
};

} // namespace vexa
