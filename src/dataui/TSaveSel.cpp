#include "TSaveSel.h"

#include "ui_TSaveSel.h"

#include <QButtonGroup>

namespace vexa {

TSaveSel::TSaveSel(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TSaveSel>())
{
    ui->setupUi(this);
    group_ = new QButtonGroup(ui->SaveGrp);
    group_->setObjectName(QStringLiteral("SaveGrpButtons"));
    group_->addButton(ui->ActiveSetRadio, ActiveDataSet);
    group_->addButton(ui->PlotRadio, PlotAndAllDataSets);
    ui->OKBtn->setDefault(true);
    connect(ui->OKBtn, &QPushButton::clicked, this, &TSaveSel::accept);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &TSaveSel::reject);
}

TSaveSel::~TSaveSel() = default;

int TSaveSel::Selected() const
{
    return group_->checkedId();
}

} // namespace vexa
