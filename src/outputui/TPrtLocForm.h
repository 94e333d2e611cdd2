#pragma once

#include "plot/PlotRecord.h"

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class TPrtLocForm;
}

namespace vexa {

// "Output": size, place and colour of a printed or exported plot. Shown
// modally through ExecForPrint or ExecForExport; OK writes the settings only
// when every value can be drawn.
class TPrtLocForm : public QDialog {
    Q_OBJECT

public:
    explicit TPrtLocForm(OutputSettings& out, QWidget* parent = nullptr);
    ~TPrtLocForm() override;

    // How a refused entry is told; a warning box over the dialog unless replaced.
    using Warn = std::function<void(const QString& text)>;
    void SetWarn(Warn warn) { warn_ = std::move(warn); }

    // Width and height start from the settings; the position fields are live.
    int ExecForPrint();
    // The edits keep their last text; the position fields are greyed out.
    int ExecForExport();

public slots:
    void accept() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SetPlaceEnabled(bool enabled);

    std::unique_ptr<Ui::TPrtLocForm> ui;
    OutputSettings& out_;
    Warn warn_;
    bool placed_ = true;
};

} // namespace vexa
