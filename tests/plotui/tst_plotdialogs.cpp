#include "Samples.h"
#include "ScriptedUser.h"
#include "plotui/TEditInfoForm.h"
#include "plotui/TScaleForm.h"

#include <QFrame>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

using namespace vexa;

using Window = QList<double>;

namespace {

Window WindowOf(const PlotView& v)
{
    return {v.TimeMin, v.TimeMax, v.AltitudeMin, v.AltitudeMax};
}

void Click(QWidget& form, const QString& name)
{
    QTest::mouseClick(form.findChild<QWidget*>(name), Qt::LeftButton);
}

struct ScaleScene {
    DataSetStore store;
    PlotRecord plot;
    FullExtent full{0, 30, 0, 40};
    vexa::test::ScriptedPrompter prompts;
    TScaleForm form{plot, full, store, prompts};
    QSignalSpy changed{&form, &TScaleForm::PlotChanged};

    // The four edits' texts, after typing `typed` over them when given.
    QStringList Texts(const QStringList& typed = {})
    {
        QStringList texts;
        for (const char* name : {"XMinEdit", "XMaxEdit", "YMinEdit", "YMaxEdit"}) {
            auto* edit = form.findChild<QLineEdit*>(name);
            if (!typed.isEmpty()) {
                edit->clear();
                QTest::keyClicks(edit, typed[texts.size()]);
            }
            texts << edit->text();
        }
        return texts;
    }
};

struct InfoScene {
    PlotRecord plot;
    ShowFlags show;
    vexa::test::ScriptedColors chooser;
    TEditInfoForm form{plot, show, nullptr, &chooser};
    QSignalSpy changed{&form, &TEditInfoForm::PlotChanged};

    template <typename T> T* Find(const QString& name) { return form.findChild<T*>(name); }
};

constexpr ColorRef PlotRecord::*ColorFields[] = {&PlotRecord::BGColor, &PlotRecord::GridColor,
                                                 &PlotRecord::ScaleColor, &PlotRecord::LabelColor,
                                                 &PlotRecord::InfoColor};

} // namespace

class TestPlotDialogs : public QObject {
    Q_OBJECT

private slots:
    // A refused window keeps the dialog open and changes nothing; Auto fits
    // at once (Time Min shows 0 whatever the fit starts at) and stays after
    // Cancel; OK takes the typed window. Either becomes the one Reset returns to.
    void scale()
    {
        ScaleScene s;
        vexa::test::FillWith(s.store.NewDataSet().samples, 201,
                             [](int i) { return std::pair(105 + i * 0.1, 5 + i * 7.475); });
        s.plot.view.TimeMax = 123456789.123456;
        s.plot.view.AltitudeMax = 0.1 + 0.2;
        s.form.show();
        QCOMPARE(s.Texts(), (QStringList{"0", "123456789.123456", "0", "0.3"}));
        s.Texts({"30", "20", "0", "20"});
        Click(s.form, "OKBtn");
        QCOMPARE(s.prompts.warned, QStringList{"Vexa: Time Min must be less than Time Max."});
        QVERIFY(s.form.isVisible() && s.changed.isEmpty());
        Click(s.form, "AutoBtn");
        QCOMPARE(s.Texts(), (QStringList{"0", "130", "0", "2000"}));
        Click(s.form, "CancelBtn");
        QCOMPARE(WindowOf(s.plot.view), (Window{100, 130, 0, 2000}));
        QCOMPARE(WindowOf(s.full), WindowOf(s.plot.view));
        s.form.show();
        s.changed.clear();
        s.Texts({"-5", "12.5", "100", "1e3"});
        Click(s.form, "OKBtn");
        QVERIFY(s.form.isHidden() && s.form.result() == QDialog::Accepted);
        QCOMPARE(WindowOf(s.plot.view), (Window{-5, 12.5, 100, 1000}));
        QCOMPARE(WindowOf(s.full), WindowOf(s.plot.view));
        QCOMPARE(s.changed.count(), 1);
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
            Click(s.form, panel);
            QCOMPARE(s.chooser.asked, (QStringList{dialog, dialog}));
            QCOMPARE(s.chooser.initials.value(0), ToQColor(before));
            QCOMPARE(s.plot.*ColorFields[k], Rgb(10, 20, 30));
            QCOMPARE(s.Find<QFrame>(panel)->palette().color(QPalette::Window), QColor(10, 20, 30));
            Click(s.form, "CancelBtn");
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
            Click(s.form, "ShowInfoChk");
            for (const auto& [name, field] : lines)
                s.Find<QLineEdit>(name)->setText(name + QString(300, 't'));
            Click(s.form, ok ? "OKBtn" : "CancelBtn");
            QVERIFY(s.form.isHidden() && !s.show.ShowInfo);
            for (const auto& [name, field] : lines)
                QCOMPARE(s.plot.*field, ok ? (name + QString(300, 't')).left(255) : before.*field);
        }
    }
};

QTEST_MAIN(TestPlotDialogs)
#include "tst_plotdialogs.moc"
