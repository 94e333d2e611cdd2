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
    // A refused window keeps the dialog open and changes nothing; OK takes
    // the typed window and makes it the one Reset returns to.
    void scaleOk()
    {
        ScaleScene s;
        s.plot.view.TimeMax = 123456789.123456;
        s.plot.view.AltitudeMax = 0.1 + 0.2;
        s.form.show();
        QCOMPARE(s.Texts(), (QStringList{"0", "123456789.123456", "0", "0.3"}));
        s.Type({"30", "20", "0", "20"});
        s.Click("OKBtn");
        QCOMPARE(s.prompts.warned, QStringList{"Vexa: Time Min must be less than Time Max."});
        QVERIFY(s.form.isVisible() && s.changed.isEmpty());
        s.Type({"-5", "12.5", "100", "1e3"});
        s.Click("OKBtn");
        QVERIFY(s.form.isHidden() && s.form.result() == QDialog::Accepted);
        QCOMPARE(WindowOf(s.plot.view), (Window{-5, 12.5, 100, 1000}));
        QCOMPARE(WindowOf(s.full), WindowOf(s.plot.view));
        QCOMPARE(s.changed.count(), 1);
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
        QCOMPARE(s.Texts(), (QStringList{"0", "130", "0", "2000"}));
        s.Click("CancelBtn");
        QCOMPARE(WindowOf(s.plot.view), (Window{100, 130, 0, 2000}));
        QCOMPARE(WindowOf(s.full), WindowOf(s.plot.view));
    }

    // A panel opens its chooser on a left click or Space, not on other keys
    // or buttons; a chosen colour acts at once; Cancel puts it back.
    void colourPanels()
    {
        const char* panels[] = {"BGColorPanel", "GridColorPanel", "ScaleColorPanel",
                                "LabelColorPanel", "InfoColorPanel"};
        for (int k = 0; k < 5; ++k) {
            const QString panel = panels[k], dialog = QString(panel).replace("Panel", "Dlg");
            InfoScene s;
            const ColorRef before = s.plot.*ColorFields[k];
            s.form.show();
            s.chooser.answers = {std::nullopt, QColor(10, 20, 30)};
            QTest::mouseClick(s.Find<QWidget>(panel), Qt::RightButton);
            QTest::keyClick(s.Find<QWidget>(panel), Qt::Key_A);
            QTest::keyClick(s.Find<QWidget>(panel), Qt::Key_Space); // cancelled: nothing changes
            QCOMPARE(s.changed.count(), 0);
            s.Click(panel);
            QCOMPARE(s.chooser.asked, (QStringList{dialog, dialog}));
            QCOMPARE(s.chooser.initials.value(0), ToQColor(before));
            QCOMPARE(s.plot.*ColorFields[k], Rgb(10, 20, 30));
            QCOMPARE(s.Find<QFrame>(panel)->palette().color(QPalette::Window), QColor(10, 20, 30));
            s.Click("CancelBtn");
            QCOMPARE(s.plot.*ColorFields[k], before);
            QCOMPARE(s.changed.count(), 2);
        }
    }

    // OK takes each text into its own line, cut to 255 characters; Cancel
    // puts texts back but leaves the show boxes as the user left them.
    void infoTexts()
    {
        const std::pair<const char*, QString PlotRecord::*> lines[] = {
            {"TitleText", &PlotRecord::Title},      {"XAxisText", &PlotRecord::XAxisLabel},
            {"YAxisText", &PlotRecord::YAxisLabel}, {"Info1Text", &PlotRecord::Info1},
            {"Info2Text", &PlotRecord::Info2},      {"Info3Text", &PlotRecord::Info3}};
        for (const bool ok : {true, false}) {
            InfoScene s;
            const PlotRecord before = s.plot;
            s.form.show();
            s.Click("ShowInfoChk");
            for (const auto& [name, field] : lines)
                s.Find<QLineEdit>(name)->setText(name + QString(300, 't'));
            s.Click(ok ? "OKBtn" : "CancelBtn");
            QVERIFY(s.form.isHidden() && !s.show.ShowInfo);
            for (const auto& [name, field] : lines)
                QCOMPARE(s.plot.*field, ok ? (name + QString(300, 't')).left(255) : before.*field);
        }
    }
};

QTEST_MAIN(TestPlotDialogs)
#include "tst_plotdialogs.moc"
