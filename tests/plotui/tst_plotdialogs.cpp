#include "Samples.h"
#include "ScriptedUser.h"
#include "plotui/TEditInfoForm.h"
#include "plotui/TScaleForm.h"

#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace vexa;

using Window = QList<double>;

namespace {

Window WindowOf(const PlotView& v)
{
    return {v.TimeMin, v.TimeMax, v.AltitudeMin, v.AltitudeMax};
}

struct ScaleScene {
    DataSetStore store;
    PlotRecord plot;
    FullExtent full{0, 30, 0, 40};
    vexa::test::ScriptedPrompter prompts;
    TScaleForm form{plot, full, store, prompts};
    QSignalSpy changed{&form, &TScaleForm::PlotChanged};
    const char* names[4] = {"XMinEdit", "XMaxEdit", "YMinEdit", "YMaxEdit"};

    QLineEdit* Edit(int k) { return form.findChild<QLineEdit*>(names[k]); }
    void Click(const char* name)
    {
        QTest::mouseClick(form.findChild<QPushButton*>(name), Qt::LeftButton);
    }
    QStringList Texts()
    {
        return {Edit(0)->text(), Edit(1)->text(), Edit(2)->text(), Edit(3)->text()};
    }
    void Type(const QStringList& texts)
    {
        for (int k = 0; k < 4; ++k) {
            Edit(k)->clear();
            QTest::keyClicks(Edit(k), texts[k]);
        }
    }
};

struct InfoScene {
    PlotRecord plot;
    ShowFlags show;
    vexa::test::ScriptedColors chooser;
    TEditInfoForm form{plot, show, nullptr, &chooser};
    QSignalSpy changed{&form, &TEditInfoForm::PlotChanged};

    template <typename T> T* Find(const QString& name) { return form.findChild<T*>(name); }
    void Click(const QString& name) { QTest::mouseClick(Find<QWidget>(name), Qt::LeftButton); }
};

constexpr ColorRef PlotRecord::*ColorFields[] = {&PlotRecord::BGColor, &PlotRecord::GridColor,
                                                 &PlotRecord::ScaleColor, &PlotRecord::LabelColor,
                                                 &PlotRecord::InfoColor};

} // namespace

class TestPlotDialogs : public QObject {
    Q_OBJECT

private slots:
    // OK takes the typed window and makes it the one Reset returns to.
    void scaleOk()
    {
        ScaleScene s;
        s.plot.view.AltitudeMax = 3.5;
        s.form.show();
        QCOMPARE(s.Texts(), (QStringList{"0", "20", "0", "3.5"}));
        s.Type({"-5", "12.5", "100", "1e3"});
        s.Click("OKBtn");
        QVERIFY(s.form.isHidden());
        QCOMPARE(s.form.result(), int(QDialog::Accepted));
        QCOMPARE(WindowOf(s.plot.view), (Window{-5, 12.5, 100, 1000}));
        QCOMPARE(WindowOf(s.full), WindowOf(s.plot.view));
        QCOMPARE(s.changed.count(), 1);
        QVERIFY(s.prompts.warned.isEmpty());
    }

    void scaleRefusesMinNotBelowMax()
    {
        ScaleScene s;
        s.form.show();
        s.Type({"30", "20", "0", "20"});
        s.Click("OKBtn");
        QCOMPARE(s.prompts.warned, QStringList{"Vexa: Time Min must be less than Time Max."});
        QVERIFY(s.form.isVisible());
        QCOMPARE(WindowOf(s.plot.view), (Window{0, 20, 0, 20}));
        QCOMPARE(WindowOf(s.full), (Window{0, 30, 0, 40}));
        QCOMPARE(s.changed.count(), 0);
        s.Click("CancelBtn");
        QVERIFY(s.form.isHidden());
        QCOMPARE(WindowOf(s.plot.view), (Window{0, 20, 0, 20}));
    }

    // Auto fits at once and stays after Cancel; Time Min shows 0 whatever
    // the fitted window starts at.
    void scaleAutoThenCancel()
    {
        ScaleScene s;
        vexa::test::FillWith(s.store.NewDataSet().samples, 201,
                             [](int i) { return std::pair(105 + i * 0.1, 5 + i * 7.475); });
        s.form.show();
        s.Click("AutoBtn");
        QVERIFY(s.form.isVisible());
        QCOMPARE(s.Texts(), (QStringList{"0", "130", "0", "2000"}));
        QCOMPARE(WindowOf(s.full), (Window{100, 130, 0, 2000}));
        s.Click("CancelBtn");
        QCOMPARE(WindowOf(s.plot.view), (Window{100, 130, 0, 2000}));
    }

    void colourPanels_data()
    {
        QTest::addColumn<int>("field");
        const char* panels[] = {"BGColorPanel", "GridColorPanel", "ScaleColorPanel",
                                "LabelColorPanel", "InfoColorPanel"};
        for (int k = 0; k < 5; ++k)
            QTest::newRow(panels[k]) << k;
    }

    // A panel opens its chooser on a left click or Space; a chosen colour
    // acts at once; Cancel puts it back.
    void colourPanels()
    {
        QFETCH(int, field);
        const QString panel = QTest::currentDataTag();
        const QString dialog = QString(panel).replace("Panel", "Dlg");
        InfoScene s;
        const ColorRef before = s.plot.*ColorFields[field];
        s.form.show();
        s.chooser.answers = {std::nullopt, QColor(10, 20, 30)};
        QTest::mouseClick(s.Find<QWidget>(panel), Qt::RightButton); // not a button's click
        QTest::keyClick(s.Find<QWidget>(panel), Qt::Key_A);
        QTest::keyClick(s.Find<QWidget>(panel), Qt::Key_Space); // cancelled: nothing changes
        QCOMPARE(s.changed.count(), 0);
        s.Click(panel);
        QCOMPARE(s.chooser.asked, (QStringList{dialog, dialog}));
        QCOMPARE(s.chooser.initials.value(0), ToQColor(before));
        QCOMPARE(s.plot.*ColorFields[field], Rgb(10, 20, 30));
        QCOMPARE(s.Find<QFrame>(panel)->palette().color(QPalette::Window), QColor(10, 20, 30));
        QCOMPARE(s.changed.count(), 1);
        s.Click("CancelBtn");
        QCOMPARE(s.plot.*ColorFields[field], before);
        QCOMPARE(s.changed.count(), 2);
    }

    // OK takes each text into its own line, cut to 255 characters; Cancel
    // puts texts back but leaves the show boxes as the user left them.
    void infoTexts_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }

    void infoTexts()
    {
        QFETCH(bool, ok);
        InfoScene s;
        const PlotRecord before = s.plot;
        s.form.show();
        s.Click("ShowInfoChk");
        const std::pair<const char*, QString PlotRecord::*> lines[] = {
            {"TitleText", &PlotRecord::Title},      {"XAxisText", &PlotRecord::XAxisLabel},
            {"YAxisText", &PlotRecord::YAxisLabel}, {"Info1Text", &PlotRecord::Info1},
            {"Info2Text", &PlotRecord::Info2},      {"Info3Text", &PlotRecord::Info3}};
        for (const auto& [name, field] : lines)
            s.Find<QLineEdit>(name)->setText(QString(name) + QString(300, QLatin1Char('t')));
        s.Click(ok ? "OKBtn" : "CancelBtn");
        QVERIFY(s.form.isHidden());
        QVERIFY(!s.show.ShowInfo);
        for (const auto& [name, field] : lines)
            QCOMPARE(s.plot.*field, ok ? (QString(name) + QString(300, QLatin1Char('t'))).left(255)
                                       : before.*field);
    }
};

QTEST_MAIN(TestPlotDialogs)
#include "tst_plotdialogs.moc"
