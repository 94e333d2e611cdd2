#include "RecordingShell.h"
#include "ScriptedPrompter.h"
#include "dataui/StyleGlyphs.h"
#include "dataui/TDataPropForm.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>

using namespace vexa;
using vexa::test::RecordingShell;

namespace {

class FakeFileChooser final : public FileChooser {
public:
    QString SaveFileName(QWidget*, const FileDialogSetup& setup) override
    {
        asked.push_back(setup);
        if (answers.empty())
            return {};
        const QString a = answers.front();
        answers.pop_front();
        return a;
    }
    QString OpenFileName(QWidget*, const FileDialogSetup&) override { return {}; }
    std::deque<QString> answers; // an empty answer cancels
    std::vector<FileDialogSetup> asked;
};

class FakeColorPicker final : public ColorChooser {
public:
    std::optional<QColor> Choose(QWidget*, const QString&, const QColor& initial) override
    {
        started.append(initial);
        if (answers.empty())
            return std::nullopt;
        const std::optional<QColor> a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<std::optional<QColor>> answers;
    QList<QColor> started;
};

void Fill(SampleBlock& s, const std::vector<double>& times, const std::vector<double>& altitudes)
{
    s.Resize(int(altitudes.size()));
    for (std::size_t i = 0; i < altitudes.size(); ++i) {
        s.time[i] = times.empty() ? double(i) : times[i];
        s.altitude[i] = altitudes[i];
    }
}

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

    template <typename T> T* Find(const char* name) const
    {
        T* w = form->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QLineEdit* Edit(const char* name) const { return Find<QLineEdit>(name); }
    QComboBox* Combo(const char* name) const { return Find<QComboBox>(name); }
    void Click(const char* name) const
    {
        QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton);
    }
    void ClickSet(int k) const
    {
        auto* list = Find<QListView>("SetListBox");
        const QModelIndex index = list->model()->index(k, 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    }
    void Open()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    DataSetStore store;
    QString title = QStringLiteral("Altitude versus Time");
    QString xLabel = QStringLiteral("Time (seconds)");
    QString yLabel = QStringLiteral("Altitude (feet)");
    QString info3 = QStringLiteral("Peak max=20");
    FakeFileChooser files;
    FakeColorPicker colors;
    RecordingShell shell;
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
        DataSetRecord& first = f.store.Set(0);
        first.note3 = QStringLiteral("max=20");
        first.pointStyle = PointCircle;
        first.triggers->visible = false;
        f.store.Set(1).triggers->visible = true;
        f.form->SelectSet(1);

        f.Open();
        QCOMPARE(f.form->windowTitle(), QString("Data Properties"));
        QCOMPARE(f.form->SelectedSet(), 0);
        QCOMPARE(f.Find<QListView>("SetListBox")->model(), f.store.Names());
        QCOMPARE(f.Edit("SignalDisplayNameEdit")->text(), QString("Data000"));
        QCOMPARE(f.Combo("LineStyleCombo")->currentIndex(), int(LineSolid));
        QCOMPARE(f.Combo("PointStyleCombo")->currentIndex(), int(PointCircle));
        QCOMPARE(f.Combo("TrigStyleCombo")->currentIndex(), int(PointTriangle));
        for (const char* box : {"XOffsetEdit", "YOffsetEdit"})
            QCOMPARE(f.Edit(box)->text(), QString("0.000000"));
        QCOMPARE(f.Edit("XScaleEdit")->text(), QString("1.000000"));
        QCOMPARE(f.Edit("Note3Edit")->text(), QString("max=20"));
        QVERIFY(!f.Find<QPushButton>("PhotoBtn")->isVisible());
        QVERIFY(!f.Edit("XScaleEdit")->isVisible());
        QVERIFY(!f.Find<QLabel>("YScaleLabel")->isVisible());

        f.ClickSet(1);
        QCOMPARE(f.Edit("SignalDisplayNameEdit")->text(), QString("Data001"));
        QVERIFY(f.Find<QPushButton>("PhotoBtn")->isVisible());
    }

    void applyRenamesShiftsAndKeepsShifting()
    {
        Fixture f(2);
        Fill(f.store.Set(1).triggers->samples, {12.5}, {4});
        QComboBox activeSetCombo; // the main window's list shares the store's names
        activeSetCombo.setModel(f.store.Names());
        f.Open();
        f.ClickSet(1);
        f.Edit("SignalDisplayNameEdit")->setText(QStringLiteral("Second flight"));
        f.Edit("XOffsetEdit")->setText(QStringLiteral("10"));
        f.Edit("YOffsetEdit")->setText(QStringLiteral("not a number"));
        for (const char* note : {"Note1Edit", "Note2Edit", "Note3Edit"})
            f.Edit(note)->setText(QLatin1String(note));

        f.Click("ApplyBtn");
        const DataSetRecord& set = f.store.Set(1);
        QCOMPARE(set.name, QString("Second flight"));
        QCOMPARE(activeSetCombo.itemText(1), QString("Second flight"));
        QCOMPARE(set.note2, QString("Note2Edit"));
        QCOMPARE(set.triggers->samples.time[0], 22.5);
        QCOMPARE(f.store.Set(0).samples.time[0], 0.0);

        f.Click("ApplyBtn");
        QCOMPARE(set.samples.time[0], 20.0);
        QCOMPARE(f.spy->count(), 2);
        QCOMPARE(f.spy->at(1).at(0).toBool(), false);

        f.ClickSet(0);
        f.ClickSet(1);
        QCOMPARE(f.Edit("XOffsetEdit")->text(), QString("0.000000"));
    }

    void swatchesAndStylesTakeEffectOnApply()
    {
        Fixture f(1);
        f.Open();
        const ColorRef blue = ColorCycle[0];
        f.colors.answers = {QColor(255, 0, 0), std::nullopt, QColor(0, 128, 0)};
        f.Click("Line_Clr");
        f.Click("Pt_Clr");
        f.Click("Trig_Clr");
        QCOMPARE(f.colors.started.size(), 3);
        QCOMPARE(f.colors.started.at(0), QColor(0, 0, 255));
        f.Combo("LineStyleCombo")->setCurrentIndex(LineDash);
        f.Combo("PointStyleCombo")->setCurrentIndex(PointX);
        f.Combo("TrigStyleCombo")->setCurrentIndex(PointSquare);
        const DataSetRecord& set = f.store.Set(0);
        QCOMPARE(set.lineColor, blue); // nothing changes before Apply

        f.Click("ApplyBtn");
        QCOMPARE(set.lineColor, Rgb(255, 0, 0));
        QCOMPARE(set.pointColor, blue);
        QCOMPARE(set.triggers->pointColor, Rgb(0, 128, 0));
        QCOMPARE(set.lineStyle, int(LineDash));
        QCOMPARE(set.pointStyle, int(PointX));
        QCOMPARE(set.triggers->pointStyle, int(PointSquare));

        // The next pick starts from the swatch's new colour.
        f.Click("Line_Clr");
        QCOMPARE(f.colors.started.last(), QColor(255, 0, 0));
    }

    void deleteKeepsTheListsInStep()
    {
        Fixture f(3);
        QComboBox activeSetCombo;
        activeSetCombo.setModel(f.store.Names());
        f.Open();
        f.ClickSet(1);
        f.Click("DelSetBtn");
        QCOMPARE(f.store.Names()->stringList(), QStringList({"Data000", "Data002"}));
        QCOMPARE(activeSetCombo.count(), 2);
        QCOMPARE(activeSetCombo.itemText(1), QString("Data002"));
        QCOMPARE(f.Edit("SignalDisplayNameEdit")->text(), QString("Data000"));

        f.Click("DelSetBtn");
        f.Click("DelSetBtn");
        QCOMPARE(f.store.SetCount(), 0);
        QCOMPARE(f.form->SelectedSet(), -1);
        QVERIFY(!f.Find<QPushButton>("ApplyBtn")->isEnabled());
        QCOMPARE(f.spy->count(), 3);
    }

    void emptyStoreDoesNothing()
    {
        Fixture f(0);
        f.Open();
        QCOMPARE(f.form->SelectedSet(), -1);
        for (const char* b : {"ApplyBtn", "DelSetBtn", "DriftBtn", "OffsetBtn", "PhotoBtn"})
            QMetaObject::invokeMethod(f.Find<QPushButton>(b), "click");
        f.form->ShowSelected();
        f.form->SelectSet(0);
        QCOMPARE(f.spy->count(), 0);
        QVERIFY(f.files.asked.empty());
        QVERIFY(f.warnings.isEmpty());
        f.Click("OKBtn");
        QVERIFY(!f.form->isVisible());
    }

    void fixDriftRewritesInfo3OrSaysWhy()
    {
        Fixture f(2);
        std::vector<double> a(100, 30.0);
        a[4] = 2;
        a[95] = 12;
        Fill(f.store.Set(0).samples, {}, a);
        Fill(f.store.Set(1).samples, {}, {1, 2, 3});
        f.Open();

        f.Click("DriftBtn");
        QCOMPARE(f.spy->count(), 1);
        QCOMPARE(f.spy->at(0).at(0).toBool(), true);
        QCOMPARE(f.info3, QString("Peak max=29.8901")); // 30 - 10 / 91 at sample 5

        f.ClickSet(1);
        f.Click("DriftBtn");
        QCOMPARE(f.spy->count(), 1);
        QCOMPARE(f.warnings.size(), 1);
        QVERIFY(f.warnings.at(0).startsWith(QStringLiteral("Vexa: ")));
        QCOMPARE(f.store.Set(1).samples.altitude[2], 3.0);
    }

    // A later Apply must not bring back the old maximum.
    void fixOffsetShowsTheNewMaximum()
    {
        Fixture f(1);
        Fill(f.store.Set(0).samples, {}, {-3, 0, 15});
        f.store.Set(0).note3 = QStringLiteral("3 sec, interval=1 sec, max=15");
        f.Open();
        f.Click("OffsetBtn");
        QCOMPARE(f.spy->at(0).at(0).toBool(), true);
        f.Click("ApplyBtn");
        QCOMPARE(f.store.Set(0).note3, QString("3 sec, interval=1 sec, max=18"));
    }

    void photoExportWritesAndOpens()
    {
        Fixture f(1);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("photos.txt"));
        Fill(f.store.Set(0).triggers->samples, {12.5, 40}, {100, 250});
        f.files.answers = {path, QString(), dir.filePath(QStringLiteral("no/such/dir.txt"))};
        f.Open();
        QVERIFY(f.Find<QPushButton>("PhotoBtn")->isVisible());

        f.Click("PhotoBtn");
        const FileDialogSetup& setup = f.files.asked.at(0);
        QCOMPARE(setup.name, QString("ExportPhotoDlg"));
        QCOMPARE(setup.title, QString("Export Photo Info"));
        QCOMPARE(setup.defaultSuffix, QString("txt"));
        QVERIFY(setup.filter.startsWith(QStringLiteral("Photo List (*.txt)")));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.at(0), QByteArray("#Altitude versus Time\r"));
        QCOMPARE(lines.at(7), QByteArray("    1,   12.5,    100\r"));
        QCOMPARE(lines.at(8), QByteArray("    2,     40,    250\r"));
        QCOMPARE(f.shell.opened, QList<QUrl>({QUrl::fromLocalFile(path)}));

        // Cancelling offers the last name and still shows that list.
        f.Click("PhotoBtn");
        QCOMPARE(f.files.asked.at(1).file, path);
        QCOMPARE(f.shell.opened.size(), 2);

        // A file that cannot be written is reported and nothing opens.
        f.Click("PhotoBtn");
        QCOMPARE(f.warnings.size(), 1);
        QVERIFY(f.warnings.at(0).startsWith(QStringLiteral("Error: Unable to open ")));
        QVERIFY(f.warnings.at(0).endsWith(QStringLiteral("dir.txt!")));
        QCOMPARE(f.shell.opened.size(), 2);
        QCOMPARE(f.spy->count(), 0);
    }

    void styleItemsDrawTheirStyle_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("style");
        QTest::addColumn<QPoint>("black");
        QTest::addColumn<QPoint>("white");

        // A 48 x 20 item: centre (24, 10), d = 5, e = 4.
        const int line = int(StyleKind::Line);
        const int point = int(StyleKind::Point);
        QTest::newRow("no line") << line << int(LineNone) << QPoint(-1, -1) << QPoint(24, 10);
        QTest::newRow("solid line") << line << int(LineSolid) << QPoint(43, 10) << QPoint(44, 10);
        QTest::newRow("line starts at 4")
            << line << int(LineSolid) << QPoint(4, 10) << QPoint(3, 10);
        QTest::newRow("dot") << point << int(PointDot) << QPoint(24, 10) << QPoint(25, 10);
        QTest::newRow("circle") << point << int(PointCircle) << QPoint(19, 10) << QPoint(24, 10);
        QTest::newRow("cross") << point << int(PointCross) << QPoint(24, 14) << QPoint(20, 6);
        QTest::newRow("x") << point << int(PointX) << QPoint(20, 6) << QPoint(24, 14);
        QTest::newRow("triangle") << point << int(PointTriangle) << QPoint(24, 5) << QPoint(24, 10);
    }

    void styleItemsDrawTheirStyle()
    {
        QFETCH(int, kind);
        QFETCH(int, style);
        QFETCH(QPoint, black);
        QFETCH(QPoint, white);
        const QImage item =
            StyleIcon(StyleKind(kind), style, QSize(48, 20)).pixmap(QSize(48, 20)).toImage();
        QCOMPARE(item.size(), QSize(48, 20));
        if (black.x() >= 0)
            QCOMPARE(item.pixelColor(black), QColor(Qt::black));
        QCOMPARE(item.pixelColor(white), QColor(Qt::white));
    }
};

QTEST_MAIN(TestDataPropForm)
#include "tst_dataui_propform.moc"
