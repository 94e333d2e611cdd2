// The Data Properties dialog: what it shows, when it writes, and the
// corrections run from it (their arithmetic is tested in the data library);
// the save choice dialog.
#include "RecordingShell.h"
#include "Samples.h"
#include "ScriptedUser.h"
#include "dataui/TDataPropForm.h"
#include "dataui/TSaveSel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace vexa;
using namespace vexa::test;

namespace {

// A dialog over a store, with every outside answer scripted.
struct Fixture {
    explicit Fixture(int sets)
    {
        for (int k = 0; k < sets; ++k)
            store.NewDataSet();
    }
    template <typename T = QPushButton> T* Find(const char* name)
    {
        return form.findChild<T*>(QLatin1String(name));
    }
    void Click(const char* name) { QTest::mouseClick(Find(name), Qt::LeftButton); }

    DataSetStore store;
    QString title, xLabel, yLabel, info3;
    ScriptedFiles files;
    ScriptedColors colors;
    RecordingShell shell;
    ScriptedPrompter prompts;
    TDataPropForm form{store,
                       DataPropDeps{{title, xLabel, yLabel, info3}, files, colors, shell, prompts}};
    QSignalSpy spy{&form, &TDataPropForm::PlotChanged};
};

} // namespace

class TestDataPropForm : public QObject {
    Q_OBJECT

private slots:
    // The first set shows on opening; a style beyond the list chooses none,
    // and Photo is there only for sets with visible triggers. Apply writes
    // only when pressed, and every press shifts again (the arithmetic is the
    // data library's); the boxes show 0 for the next set.
    void showsAndApplies()
    {
        Fixture f(2);
        f.store.Set(0).lineStyle = 99;
        f.store.Set(0).triggers->visible = false;
        f.form.SelectSet(1);
        f.form.show();
        QVERIFY(f.Find<QComboBox>("LineStyleCombo")->currentIndex() == -1 &&
                !f.Find("PhotoBtn")->isVisible());
        f.form.SelectSet(1);
        QVERIFY(f.Find<QLineEdit>("SignalDisplayNameEdit")->text() == "Data001" &&
                f.Find("PhotoBtn")->isVisible());

        f.colors.answers = {QColor(255, 0, 0), std::nullopt, QColor(0, 128, 0)};
        for (const char* swatch : {"Line_Clr", "Pt_Clr", "Trig_Clr"})
            f.Click(swatch);
        f.Find<QComboBox>("LineStyleCombo")->setCurrentIndex(LineDash);
        f.Find<QLineEdit>("SignalDisplayNameEdit")->setText(QStringLiteral("Second flight"));
        f.Find<QLineEdit>("XOffsetEdit")->setText(QStringLiteral("10"));
        const DataSetRecord& set = f.store.Set(1);
        QCOMPARE(set.lineColor, ColorCycle[1]); // nothing changes before Apply
        f.Click("ApplyBtn");
        f.Click("ApplyBtn");
        QCOMPARE(f.store.Names()->stringList().value(1), QString("Second flight"));
        QCOMPARE(set.samples.time[0], 20.0);
        QCOMPARE((QList<ColorRef>{set.lineColor, set.pointColor, set.triggers->pointColor}),
                 (QList<ColorRef>{Rgb(255, 0, 0), ColorCycle[1], Rgb(0, 128, 0)}));
        QCOMPARE(set.lineStyle, int(LineDash));
        QCOMPARE(f.spy.count(), 2);
        f.form.SelectSet(0);
        QCOMPARE(f.Find<QLineEdit>("XOffsetEdit")->text(), QString("0.000000"));
    }

    // The photo list is written and opened; cancelling shows the last list
    // again; a file that cannot be written is reported and nothing opens.
    // Drift says why it cannot; a later Apply keeps the maximum Offset wrote.
    // The names follow each delete; with no set left every button does nothing.
    void photosCorrectionsAndDelete()
    {
        Fixture f(3);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("photos.txt"));
        Fill(f.store.Set(0).triggers->samples, {12.5, 40}, {100, 250});
        f.files.answers = {path, QString(), dir.filePath(QStringLiteral("no/such/dir.txt"))};
        f.form.show();
        for (int i = 0; i < 3; ++i)
            f.Click("PhotoBtn");
        QCOMPARE(f.shell.opened, QList<QUrl>(2, QUrl::fromLocalFile(path)));
        QVERIFY(f.prompts.warned.value(0).startsWith(QStringLiteral("Error: Unable to open ")));

        f.form.SelectSet(1);
        f.Click("DelSetBtn");
        QCOMPARE(f.store.Names()->stringList(), QStringList({"Data000", "Data002"}));
        Fill(f.store.Set(1).samples, {}, {-3, 0, 15});
        f.store.Set(1).note3 = QStringLiteral("3 sec, interval=1 sec, max=15");
        f.form.SelectSet(1);
        f.Click("DriftBtn");
        QCOMPARE(f.prompts.warned.size(), 2);
        f.Click("OffsetBtn");
        f.Click("ApplyBtn");
        QCOMPARE(f.store.Set(1).note3, QString("3 sec, interval=1 sec, max=18"));

        f.Click("DelSetBtn");
        f.Click("DelSetBtn");
        const auto changes = f.spy.count();
        for (const char* b : {"ApplyBtn", "DelSetBtn", "DriftBtn", "OffsetBtn", "PhotoBtn"})
            QMetaObject::invokeMethod(f.Find(b), "click");
        QCOMPARE(f.spy.count(), changes);
        QVERIFY(f.files.asked.size() == 3 && f.prompts.warned.size() == 2);
    }

    // The save choice stays as left from one run to the next.
    void saveChoiceKeepsTheLastAnswer()
    {
        TSaveSel dialog;
        const auto run = [&dialog](const char* button, const char* radio) {
            QTimer::singleShot(0, &dialog, [&dialog, button, radio] {
                if (radio)
                    QTest::mouseClick(dialog.findChild<QRadioButton*>(radio), Qt::LeftButton);
                QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
            });
            return dialog.exec() == QDialog::Accepted ? dialog.Selected() : -1;
        };
        QCOMPARE(run("OKBtn", "PlotRadio"), int(TSaveSel::PlotAndAllDataSets));
        QCOMPARE(run("CancelBtn", nullptr), -1);
        QCOMPARE(run("OKBtn", nullptr), int(TSaveSel::PlotAndAllDataSets));
        QCOMPARE(run("OKBtn", "ActiveSetRadio"), int(TSaveSel::ActiveDataSet));
    }
};

QTEST_MAIN(TestDataPropForm)
#include "tst_dataui_propform.moc"
