#pragma once

#include <QDialog>
#include <memory>

class QButtonGroup;

namespace Ui {
class TSaveSel;
}

namespace vexa {

// "Save": the active set alone, or the plot with every set. Shown modally
// with exec(); the choice stays as the user left it for the next save.
class TSaveSel : public QDialog {
    Q_OBJECT

public:
    enum Choice { ActiveDataSet = 0, PlotAndAllDataSets = 1 };

    explicit TSaveSel(QWidget* parent = nullptr);
    ~TSaveSel() override;

    // The selected item of SaveGrp.
    int Selected() const;

private:
    std::unique_ptr<Ui::TSaveSel> ui;
    QButtonGroup* group_ = nullptr;
};

} // namespace vexa
