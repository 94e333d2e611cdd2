// The Data Properties dialog: what it shows, when it writes, and the
// corrections run from it (their arithmetic is tested in the data library).
#include "RecordingShell.h"
#include "Samples.h"
#include "ScriptedUser.h"
#include "dataui/TDataPropForm.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace vexa;
using vexa::test::Fill;

namespace {

// A dialog over a store, with every outside answer scripted.
struct Fixture {
    explicit Fixture(int sets)
    {
        for (int k = 0; k < sets; ++k)
            store.NewDataSet();
        form = std::make_unique<TDataPropForm>(
            store, DataPropDeps{{title, xLabel, yLabel, info3}, files, colors, shell, prompts});
        spy = std::make_unique<QSignalSpy>(form.get(), &TDataPropForm::PlotChanged);
    }
    void Open() const { form->show(); }

    template <typename T = QPushButton> T* Find(const char* name) const
    {
        return form->findChild<T*>(QLatin1String(name));
    }
    QLineEdit* Edit(const char* name) const { return Find<QLineEdit>(name); }
    void Click(const char* name) const { QTest::mouseClick(Find(name), Qt::LeftButton); }
    void ClickSet(int k) const
    {
        auto* list = Find<QListView>("SetListBox");
        const QModelIndex index = list->model()->index(k, 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    }

    DataSetStore store;
    QString title, xLabel, yLabel;
    QString info3 = QStringLiteral("Peak max=20");
    vexa::test::ScriptedFiles files;
    vexa::test::ScriptedColors colors;
    vexa::test::RecordingShell shell;
    vexa::test::ScriptedPrompter prompts;
    QStringList& warnings = prompts.warned;
    std::unique_ptr<TDataPropForm> form;
    std::unique_ptr<QSignalSpy> spy;
};

} // namespace

class TestDataPropForm : public QObject {
    Q_OBJECT

private slots:
    void opensOnTheFirstSet()
    {
        Fixture f(2);
        f.store.Set(0).pointStyle = PointCircle;
        f.store.Set(0).lineStyle = 99; // no such style: nothing chosen
        f.store.Set(0).triggers->visible = false;
        f.store.Set(1).triggers->visible = true;
        f.form->SelectSet(1);
        f.Open();
        QCOMPARE(f.form->SelectedSet(), 0);
        QCOMPARE(f.Edit("SignalDisplayNameEdit")->text(), QString("Data000"));
        QCOMPARE(f.Find<QComboBox>("PointStyleCombo")->currentIndex(), int(PointCircle));
        QCOMPARE(f.Find<QComboBox>("LineStyleCombo")->currentIndex(), -1);
        QCOMPARE(f.Edit("XOffsetEdit")->text(), QString("0.000000"));
        QVERIFY(!f.Find("PhotoBtn")->isVisible()); // only for sets with triggers

        f.ClickSet(1);
        QCOMPARE(f.Edit("SignalDisplayNameEdit")->text(), QString("Data001"));
        QVERIFY(f.Find("PhotoBtn")->isVisible());
    }

    // Apply writes only when pressed, and every press shifts again (the
    // arithmetic is the data library's); the boxes show 0 for the next set.
    void applyTakesBoxesSwatchesAndStyles()
    {
        Fixture f(2);
        f.Open();
        QComboBox activeSetCombo; // the main window's list shares the store's names
        activeSetCombo.setModel(f.store.Names());
        f.ClickSet(1);
        f.colors.answers = {QColor(255, 0, 0), std::nullopt, QColor(0, 128, 0)};
        for (const char* swatch : {"Line_Clr", "Pt_Clr", "Trig_Clr"})
            f.Click(swatch);
        f.Find<QComboBox>("LineStyleCombo")->setCurrentIndex(LineDash);
        f.Edit("SignalDisplayNameEdit")->setText(QStringLiteral("Second flight"));
        f.Edit("XOffsetEdit")->setText(QStringLiteral("10"));
        const DataSetRecord& set = f.store.Set(1);
        QCOMPARE(set.lineColor, ColorCycle[1]); // nothing changes before Apply
        f.Click("ApplyBtn");
        f.Click("ApplyBtn");
        QCOMPARE(activeSetCombo.itemText(1), QString("Second flight"));
        QCOMPARE(set.samples.time[0], 20.0);
        QCOMPARE((QList<ColorRef>{set.lineColor, set.pointColor, set.triggers->pointColor}),
                 (QList<ColorRef>{Rgb(255, 0, 0), ColorCycle[1], Rgb(0, 128, 0)}));
        QCOMPARE(set.lineStyle, int(LineDash));
        QCOMPARE(f.spy->count(), 2);
        QCOMPARE(f.spy->at(1).at(0).toBool(), false);
        f.Click("Line_Clr"); // the next pick starts from the swatch's new colour
        QCOMPARE(f.colors.initials.last(), QColor(255, 0, 0));
        f.ClickSet(0);
        f.ClickSet(1);
        QCOMPARE(f.Edit("XOffsetEdit")->text(), QString("0.000000"));
    }

    void deleteKeepsTheListsInStep()
    {
        Fixture f(3);
        f.Open();
        f.ClickSet(1);
        f.Click("DelSetBtn");
        QCOMPARE(f.store.Names()->stringList(), QStringList({"Data000", "Data002"}));
        QCOMPARE(f.Edit("SignalDisplayNameEdit")->text(), QString("Data000"));
        f.Click("DelSetBtn");
        f.Click("DelSetBtn");
        QCOMPARE(f.form->SelectedSet(), -1);
        QCOMPARE(f.spy->count(), 3);
        // With no set left every button does nothing.
        for (const char* b : {"ApplyBtn", "DelSetBtn", "DriftBtn", "OffsetBtn", "PhotoBtn"})
            QMetaObject::invokeMethod(f.Find(b), "click");
        QCOMPARE(f.spy->count(), 3);
        QVERIFY(f.files.asked.empty() && f.warnings.isEmpty());
    }

    // Drift rewrites the plot's third info line or says why not; a later
    // Apply must not bring back the maximum Offset replaced.
    void correctionsFromTheDialog()
    {
        Fixture f(2);
        std::vector<double> a(100, 30.0);
        a[4] = 2;
        a[95] = 12;
        Fill(f.store.Set(0).samples, {}, a);
        Fill(f.store.Set(1).samples, {}, {-3, 0, 15});
        f.store.Set(1).note3 = QStringLiteral("3 sec, interval=1 sec, max=15");
        f.Open();
        f.Click("DriftBtn");
        QCOMPARE(f.spy->at(0).at(0).toBool(), true);
        QCOMPARE(f.info3, QString("Peak max=29.8901")); // 30 - 10 / 91 at sample 5
        f.ClickSet(1);
        f.Click("DriftBtn");
        QCOMPARE(f.spy->count(), 1);
        QVERIFY(f.warnings.value(0).startsWith(QStringLiteral("Vexa: ")));
        f.Click("OffsetBtn");
        f.Click("ApplyBtn");
        QCOMPARE(f.store.Set(1).note3, QString("3 sec, interval=1 sec, max=18"));
    }

    // Written and opened; cancelling shows the last list again; a file that
    // cannot be written is reported and nothing opens.
    void photoExportWritesAndOpens()
    {
        Fixture f(1);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("photos.txt"));
        Fill(f.store.Set(0).triggers->samples, {12.5, 40}, {100, 250});
        f.files.answers = {path, QString(), dir.filePath(QStringLiteral("no/such/dir.txt"))};
        f.Open();
        for (int i = 0; i < 3; ++i)
            f.Click("PhotoBtn");
        QCOMPARE(f.files.asked.at(0).defaultSuffix, QString("txt"));
        QCOMPARE(f.files.asked.at(1).file, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().endsWith("    2,     40,    250\r\n"));
        QCOMPARE(f.shell.opened,
                 QList<QUrl>({QUrl::fromLocalFile(path), QUrl::fromLocalFile(path)}));
        QVERIFY(f.warnings.value(0).startsWith(QStringLiteral("Error: Unable to open ")));
    }
};

QTEST_MAIN(TestDataPropForm)
#include "tst_dataui_propform.moc"
