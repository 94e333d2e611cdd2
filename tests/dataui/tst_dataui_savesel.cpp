#include "dataui/TSaveSel.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

using namespace vexa;

namespace {

// Answers the next modal run of the dialog by clicking one of its buttons.
int Run(TSaveSel& dialog, const char* button, const char* radio = nullptr)
{
    QTimer::singleShot(0, &dialog, [&dialog, button, radio] {
        if (radio)
            QTest::mouseClick(dialog.findChild<QRadioButton*>(QLatin1String(radio)),
                              Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
    });
    return dialog.exec();
}

} // namespace

class TestSaveSel : public QObject {
    Q_OBJECT

private slots:
    void asksWhatToSave()
    {
        TSaveSel dialog;
        QCOMPARE(dialog.windowTitle(), QString("Save"));
        auto* label = dialog.findChild<QLabel*>();
        QCOMPARE(label->text(), QString("What do you want to save?"));
        QVERIFY(label->font().bold());
        auto* group = dialog.findChild<QGroupBox*>(QStringLiteral("SaveGrp"));
        QVERIFY(group);
        QStringList items;
        for (QRadioButton* r : group->findChildren<QRadioButton*>())
            items << r->text();
        QCOMPARE(items, QStringList({"Active Data Set", "Plot and All Data Sets"}));
        QCOMPARE(dialog.Selected(), int(TSaveSel::ActiveDataSet));
    }

    void keepsTheLastChoice()
    {
        TSaveSel dialog;
        QCOMPARE(Run(dialog, "OKBtn", "PlotRadio"), int(QDialog::Accepted));
        QCOMPARE(dialog.Selected(), int(TSaveSel::PlotAndAllDataSets));
        QCOMPARE(Run(dialog, "CancelBtn"), int(QDialog::Rejected));
        QCOMPARE(Run(dialog, "OKBtn"), int(QDialog::Accepted));
        QCOMPARE(dialog.Selected(), int(TSaveSel::PlotAndAllDataSets));
        QCOMPARE(Run(dialog, "OKBtn", "ActiveSetRadio"), int(QDialog::Accepted));
        QCOMPARE(dialog.Selected(), int(TSaveSel::ActiveDataSet));
    }
};

QTEST_MAIN(TestSaveSel)
#include "tst_dataui_savesel.moc"
