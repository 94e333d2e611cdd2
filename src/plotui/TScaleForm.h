#pragma once

#include "plot/PlotRecord.h"
#include "widgets/Prompter.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TScaleForm;
}

namespace vexa {

// "Graph Scale": the window typed by hand, or fitted to the data with Auto.
// Shown modally with exec(); each show starts from the current window.
class TScaleForm : public QDialog {
    Q_OBJECT

public:
    // Refused entries are told through prompts.
    TScaleForm(PlotRecord& plot, FullExtent& full, const DataSetStore& store, Prompter& prompts,
               QWidget* parent = nullptr);
    ~TScaleForm() override;

public slots:
    // OK: the typed window, or a warning and the dialog stays open.
    void accept() override;
    void done(int result) override;

signals:
    // After the dialog closes, either way: Auto may have moved the window.
    void PlotChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void AutoBtnClick();

    std::unique_ptr<Ui::TScaleForm> ui;
    PlotRecord& plot_;
    FullExtent& full_;
    const DataSetStore& store_;
    Prompter& prompts_;
};

} // namespace vexa
