#include "ScriptedUser.h"
#include "plotui/TEditInfoForm.h"
#include "plotui/TScaleForm.h"

#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace vexa;

using Window = QList<double>;

namespace {

Window WindowOf(const PlotRecord& r)
{
    return {r.view.TimeMin, r.view.TimeMax, r.view.AltitudeMin, r.view.AltitudeMax};
}

Window WindowOf(const FullExtent& f)
{
    return {f.TimeMin, f.TimeMax, f.AltitudeMin, f.AltitudeMax};
}

struct ScaleScene {
    DataSetStore store;
    PlotRecord plot;
    FullExtent full{0, 30, 0, 40};
    vexa::test::ScriptedPrompter prompts;
    TScaleForm form{plot, full, store, prompts};
    QStringList& warnings = prompts.warned;

    QLineEdit* Edit(const char* name) { return form.findChild<QLineEdit*>(name); }
    void Click(const char* name)
    {
        QTest::mouseClick(form.findChild<QPushButton*>(name), Qt::LeftButton);
    }
    QStringList Texts()
    {
        return {Edit("XMinEdit")->text(), Edit("XMaxEdit")->text(), Edit("YMinEdit")->text(),
                Edit("YMaxEdit")->text()};
    }
    void Type(const QStringList& texts)
    {
        const char* names[] = {"XMinEdit", "XMaxEdit", "YMinEdit", "YMaxEdit"};
        for (int k = 0; k < 4; ++k) {
            Edit(names[k])->clear();
            QTest::keyClicks(Edit(names[k]), texts[k]);
        }
    }
};

struct InfoScene {
    PlotRecord plot;
    ShowFlags show;
    vexa::test::ScriptedColors chooser;
    TEditInfoForm form{plot, show, nullptr, &chooser};

    template <typename T> T* Find(const char* name) { return form.findChild<T*>(name); }
    void Click(const char* name) { QTest::mouseClick(Find<QWidget>(name), Qt::LeftButton); }
};

constexpr ColorRef PlotRecord::*ColorFields[] = {&PlotRecord::BGColor, &PlotRecord::GridColor,
                                                 &PlotRecord::ScaleColor, &PlotRecord::LabelColor,
                                                 &PlotRecord::InfoColor};

} // namespace

class TestPlotDialogs : public QObject {
    Q_OBJECT

private slots:
    void scaleOk_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<Window>("window");
        QTest::newRow("abc in Time Min keeps it")
            << QStringList{"abc", "20", "0", "20"} << Window{0, 20, 0, 20};
        QTest::newRow("a typed scale")
            << QStringList{"-5", "12.5", "100", "1e3"} << Window{-5, 12.5, 100, 1000};
    }

    // OK takes the typed window and makes it the one Reset returns to.
    void scaleOk()
    {
        QFETCH(QStringList, typed);
        QFETCH(Window, window);
        ScaleScene s;
        QSignalSpy changed(&s.form, &TScaleForm::PlotChanged);
        s.plot.view.AltitudeMax = 3.5;
        s.form.show();
        QCOMPARE(s.Texts(), (QStringList{"0", "20", "0", "3.5"}));
        s.Type(typed);
        s.Click("OKBtn");
        QVERIFY(s.form.isHidden());
        QCOMPARE(s.form.result(), int(QDialog::Accepted));
        QCOMPARE(WindowOf(s.plot), window);
        QCOMPARE(WindowOf(s.full), window);
        QCOMPARE(changed.count(), 1);
        QVERIFY(s.warnings.isEmpty());
    }

    void scaleRefusesMinNotBelowMax()
    {
        ScaleScene s;
        QSignalSpy changed(&s.form, &TScaleForm::PlotChanged);
        s.form.show();
        s.Type({"30", "20", "0", "20"});
        s.Click("OKBtn");
        QCOMPARE(s.warnings, QStringList{"Vexa: Time Min must be less than Time Max."});
        QVERIFY(s.form.isVisible());
        QCOMPARE(WindowOf(s.plot), (Window{0, 20, 0, 20}));
        QCOMPARE(WindowOf(s.full), (Window{0, 30, 0, 40}));
        QCOMPARE(changed.count(), 0);

        s.Click("CancelBtn");
        QVERIFY(s.form.isHidden());
        QCOMPARE(WindowOf(s.plot), (Window{0, 20, 0, 20}));
        QCOMPARE(changed.count(), 1);
    }

    // Auto fits at once and stays after Cancel; Time Min shows 0 whatever
    // the fitted window starts at.
    void scaleAutoThenCancel()
    {
        ScaleScene s;
        DataSetRecord& set = s.store.NewDataSet();
        set.samples.Resize(201);
        for (int i = 0; i < set.samples.Count(); ++i) {
            set.samples.time[std::size_t(i)] = 105 + i * 0.1;
            set.samples.altitude[std::size_t(i)] = 5 + i * 7.475;
        }
        s.form.show();
        s.Click("AutoBtn");
        QVERIFY(s.form.isVisible());
        QCOMPARE(s.Texts(), (QStringList{"0", "130", "0", "2000"}));
        QCOMPARE(WindowOf(s.plot), (Window{100, 130, 0, 2000}));
        QCOMPARE(WindowOf(s.full), (Window{100, 130, 0, 2000}));
        s.Click("CancelBtn");
        QCOMPARE(WindowOf(s.plot), (Window{100, 130, 0, 2000}));
    }

    void colourPanels_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<int>("field");
        QTest::newRow("background") << "BGColorPanel"
                                    << "BGColorDlg" << 0;
        QTest::newRow("grid") << "GridColorPanel"
                              << "GridColorDlg" << 1;
        QTest::newRow("scale") << "ScaleColorPanel"
                               << "ScaleColorDlg" << 2;
        QTest::newRow("labels") << "LabelColorPanel"
                                << "LabelColorDlg" << 3;
        QTest::newRow("info") << "InfoColorPanel"
                              << "InfoColorDlg" << 4;
    }

    // A chosen colour acts at once; Cancel puts it back.
    void colourPanels()
    {
        QFETCH(QString, panel);
        QFETCH(QString, dialog);
        QFETCH(int, field);
        InfoScene s;
        const ColorRef before = s.plot.*ColorFields[field];
        QSignalSpy changed(&s.form, &TEditInfoForm::PlotChanged);
        s.form.show();
        s.chooser.answers = {std::nullopt, QColor(10, 20, 30)};
        s.Click(qPrintable(panel)); // cancelled: nothing changes
        QCOMPARE(changed.count(), 0);
        s.Click(qPrintable(panel));
        QCOMPARE(s.chooser.asked, (QStringList{dialog, dialog}));
        QCOMPARE(s.chooser.initials.value(0), ToQColor(before));
        QCOMPARE(s.plot.*ColorFields[field], Rgb(10, 20, 30));
        QCOMPARE(s.Find<QFrame>(qPrintable(panel))->palette().color(QPalette::Window),
                 QColor(10, 20, 30));
        QCOMPARE(changed.count(), 1);

        s.Click("CancelBtn");
        QCOMPARE(s.plot.*ColorFields[field], before);
        QCOMPARE(changed.count(), 2);
    }

    // A panel acts like a button: left click (above) or a key; 0 is a right click.
    void colourPanelActivation_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("opened");
        QTest::newRow("right click") << 0 << 0;
        QTest::newRow("space") << int(Qt::Key_Space) << 1;
        QTest::newRow("letter") << int(Qt::Key_A) << 0;
    }
    void colourPanelActivation()
    {
        QFETCH(int, key);
        QFETCH(int, opened);
        InfoScene s;
        s.form.show();
        auto* panel = s.Find<QWidget>("GridColorPanel");
        key ? QTest::keyClick(panel, Qt::Key(key)) : QTest::mouseClick(panel, Qt::RightButton);
        QCOMPARE(s.chooser.asked.size(), opened);
    }

    // Cancel: colours back, texts as they were, show boxes as the user left them.
    void cancelKeepsShowBoxes()
    {
        InfoScene s;
        s.form.show();
        s.chooser.answers = {QColor(Qt::green)};
        s.Click("GridColorPanel");
        s.Click("ShowInfoChk");
        QVERIFY(!s.show.ShowInfo);
        QTest::keyClicks(s.Find<QLineEdit>("TitleText"), " edited");
        s.Click("CancelBtn");
        QCOMPARE(s.plot.GridColor, Rgb(128, 128, 128));
        QVERIFY(!s.show.ShowInfo);
        QCOMPARE(s.plot.Title, QString("Altitude versus Time"));
    }

    void okKeepsTextsAndColours()
    {
        InfoScene s;
        s.form.show();
        s.chooser.answers = {QColor(Qt::blue)};
        s.Click("BGColorPanel");
        QCOMPARE(s.Find<QLineEdit>("YAxisText")->text(), QString("Altitude (Feet)"));
        const char* edits[] = {"TitleText", "XAxisText", "YAxisText",
                               "Info1Text", "Info2Text", "Info3Text"};
        for (const char* name : edits)
            s.Find<QLineEdit>(name)->setText(QString(name) + " typed");
        s.Find<QLineEdit>("TitleText")->setText(QString(300, QLatin1Char('t')));
        s.Click("OKBtn");
        QVERIFY(s.form.isHidden());
        QCOMPARE(s.plot.BGColor, Rgb(0, 0, 255));
        QCOMPARE(s.plot.Title, QString(255, QLatin1Char('t')));
        QCOMPARE(s.plot.XAxisLabel, QString("XAxisText typed"));
        QCOMPARE(s.plot.YAxisLabel, QString("YAxisText typed"));
        QCOMPARE(s.plot.Info1, QString("Info1Text typed"));
        QCOMPARE(s.plot.Info2, QString("Info2Text typed"));
        QCOMPARE(s.plot.Info3, QString("Info3Text typed"));
    }
};

QTEST_MAIN(TestPlotDialogs)
#include "tst_plotdialogs.moc"
