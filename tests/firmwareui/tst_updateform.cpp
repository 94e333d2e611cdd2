// The update dialog against a web server in the test and a scripted line.
#include "HttpStub.h"
#include "LinkRig.h"
#include "ScriptedUser.h"
#include "TestData.h"
#include "firmwareui/StatusPanel.h"
#include "firmwareui/TUpdateForm.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace vexa;
using namespace vexa::test;

namespace {

// Records the dialog's calls on the main window's link.
struct FakeHost final : UpdateHost {
    bool LinkConnected() const override { return calls.isEmpty() || calls.last() == "opened"; }
    void CloseLink() override { calls << "close"; }
    QString SelectedPortName() const override { return port; }
    void LinkOpened() override { calls << "opened"; }
    void LinkReleased() override { calls << "released"; }
    QString port = QStringLiteral("/dev/ttyFAKE");
    QStringList calls;
};

} // namespace

class TestUpdateForm : public QObject {
    Q_OBJECT

    QTemporaryDir temp_;
    HttpStub server_;
    std::unique_ptr<LinkRig> rig_;
    FakeHost host_;
    ScriptedPrompter prompts_;
    std::unique_ptr<TUpdateForm> form_;

    QTableWidget* grid() const { return form_->findChild<QTableWidget*>("StringGrid1"); }
    QString status() const { return form_->findChild<QLabel*>("StatusText")->text(); }
    // Paths the dialog opened (the rig opens the line once on its own).
    QStringList opened() const { return rig_->device.OpenAttempts().mid(1); }
    QPushButton* load() const { return form_->findChild<QPushButton*>("LoadBtn"); }

    // Shows the dialog and waits for its list.
    void ShowList()
    {
        form_->hide();
        prompts_.warned.clear();
        const auto asked = server_.Requests().size();
        form_->show();
        QTRY_VERIFY(server_.Requests().mid(asked).contains("/list.txt") &&
                    !status().startsWith("Reading"));
    }

    // Shows the list and loads its first entry, an image that the engine takes.
    void StartUpdate()
    {
        server_.Set("/small.hex", {200, TestData("updates/small.hex")});
        ShowList();
        QCOMPARE(grid()->item(1, 0)->text() + grid()->item(1, 2)->text(), QString("26.1.03"));
        QCOMPARE(grid()->rowHeight(1), 2 * grid()->rowHeight(0)); // a long description
        load()->click();
        QVERIFY(form_->Updating());
    }

private slots:
    void initTestCase() { qputenv("TMPDIR", temp_.path().toLocal8Bit()); }

    void init()
    {
        rig_ = std::make_unique<LinkRig>();
        rig_->port.Close();
        host_ = FakeHost();
        prompts_ = ScriptedPrompter();
        QByteArray list = TestData("updates/two-entries.txt");
        list.replace("@BASE@", server_.Url(QString()).toString().toLatin1());
        server_.Set("/list.txt", {200, list + "V6,6.1.04,ftp://127.0.0.1/x.hex\nnot on the web\n"});
        // The list has moved; the dialog follows.
        server_.Set("/moved.txt", {302, "", false, server_.Url("/list.txt").toEncoded()});
        form_ = std::make_unique<TUpdateForm>(
            UpdateFormDeps{rig_->link, rig_->clock, host_, server_.Url("/moved.txt"), &prompts_});
    }

    void cleanup()
    {
        form_.reset();
        QCOMPARE(QDir(temp_.path()).entryList(QDir::Files), QStringList());
    }

    void progressText_data() { AddRows("updates/progress.txt", " | "); }

    // The status bar's percentage, drawn and read out alike, and the blue part.
    void progressText()
    {
        QFETCH(QStringList, f); // Progress, text, columns of blue from the left
        ProgressBarPanel panel;
        panel.resize(400, 20);
        panel.SetProgress(f[0].toInt());
        QCOMPARE(panel.accessibleName(), f[1]);
        const QImage shot = panel.grab().toImage();
        int blue = 0;
        while (blue < shot.width() && shot.pixelColor(blue, 0) == QColor(0, 0, 255))
            ++blue;
        QCOMPARE(blue, f[2].toInt());
    }

    void refusesWithoutTouchingThePort_data() { AddRows("updates/refusals.txt", " | "); }

    void refusesWithoutTouchingThePort()
    {
        QFETCH(QStringList, f);                    // row, image's answer, port, warning
        const QStringList image = f[1].split(' '); // status, body file, "silent"
        server_.Set("/small.hex",
                    {image[0].toInt(), TestData("updates/" + image[1]), image.size() > 2});
        host_.port = f[2];
        // Virtual time runs fast while the server keeps silent.
        QTimer clock;
        connect(&clock, &QTimer::timeout, [this] { rig_->clock.Advance(1000); });
        clock.start(5);

        ShowList();
        grid()->selectRow(f[0].toInt());
        load()->click();
        QVERIFY2(prompts_.warned.size() == 1 && prompts_.warned[0].contains(f[3]),
                 qPrintable(prompts_.warned.join('\n')));
        QVERIFY(opened().isEmpty() && host_.calls.isEmpty() && load()->isEnabled());
    }

    // No boot loader answers: the link is taken over, the update fails at the
    // handshake and gives the line back. Closing during an update stops it. A
    // failed fetch leaves nothing of the earlier list to load.
    void takesOverTheLinkAndGivesItBack()
    {
        StartUpdate();
        QCOMPARE(host_.calls, QStringList({"close", "opened"}));
        QVERIFY(opened() == QStringList("/dev/ttyFAKE") && rig_->device.Settings().baud == 115200);

        prompts_.answer = false;
        form_->reject();
        QVERIFY(form_->isVisible() && form_->Updating());
        QTRY_VERIFY(!form_->Updating());
        QCOMPARE(status(), QString("Failed!"));
        QCOMPARE(prompts_.warned.size(), 1);
        QVERIFY2(prompts_.warned[0].startsWith("Error: Part not responding\n\nThe update stopped "
                                               "at the Synchronize stage. The module's firmware "
                                               "was not changed."),
                 qPrintable(prompts_.warned[0]));
        QVERIFY(host_.calls.last() == "released" && !rig_->port.IsOpen() && load()->isEnabled());
        // What a screen reader finds, also once the status has been cleared.
        auto* bar = form_->findChild<QWidget*>("StatusBar1");
        QCOMPARE(bar->accessibleName() + " / " + bar->accessibleDescription(),
                 QString("Failed! / Failed! Stage Synchronize: failed"));
        QCOMPARE(form_->findChild<QLabel*>("SyncPanel")->accessibleDescription(),
                 QString("failed"));
        QVERIFY(form_->findChild<QLabel*>("OutcomeText")
                    ->text()
                    .startsWith("Failed! Part not "
                                "responding"));

        prompts_.answer = true;
        StartUpdate();
        form_->reject();
        QVERIFY(!form_->isVisible() && !form_->Updating());
        QVERIFY(host_.calls.last() == "released" && !rig_->port.IsOpen());

        server_.Set("/list.txt", {404, "gone"});
        ShowList();
        QTRY_COMPARE(prompts_.warned.size(), 1);
        QCOMPARE(grid()->rowCount(), 0);
        QCOMPARE(status(), QString("No list"));
    }
};

QTEST_MAIN(TestUpdateForm)
#include "tst_updateform.moc"
