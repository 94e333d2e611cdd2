#include "dataui/TSaveSel.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

using namespace vexa;

namespace {

// Answers the next modal run of the dialog: a radio button, then OK or Cancel.
int Run(TSaveSel& dialog, const char* button, const char* radio = nullptr)
{
    QTimer::singleShot(0, &dialog, [&dialog, button, radio] {
        if (radio)
            QTest::mouseClick(dialog.findChild<QRadioButton*>(radio), Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
    });
    return dialog.exec();
}

} // namespace

class TestSaveSel : public QObject {
    Q_OBJECT

private slots:
    void keepsTheLastChoice()
    {
        TSaveSel dialog;
        QCOMPARE(Run(dialog, "OKBtn", "PlotRadio"), int(QDialog::Accepted));
        QCOMPARE(Run(dialog, "CancelBtn"), int(QDialog::Rejected));
        QCOMPARE(Run(dialog, "OKBtn"), int(QDialog::Accepted));
        QCOMPARE(dialog.Selected(), int(TSaveSel::PlotAndAllDataSets));
        QCOMPARE(Run(dialog, "OKBtn", "ActiveSetRadio"), int(QDialog::Accepted));
        QCOMPARE(dialog.Selected(), int(TSaveSel::ActiveDataSet));
    }
};

QTEST_MAIN(TestSaveSel)
#include "tst_dataui_savesel.moc"
