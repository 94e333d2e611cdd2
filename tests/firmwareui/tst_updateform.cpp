// The update dialog against a web server in the test and a scripted line.
#include "HttpStub.h"
#include "LinkRig.h"
#include "ScriptedUser.h"
#include "TestData.h"
#include "firmwareui/TUpdateForm.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace vexa;
using namespace vexa::test;

namespace {

QByteArray Update(const char* name)
{
    return TestData(QStringLiteral("../updates/") + QLatin1String(name));
}

struct FakeHost final : UpdateHost {
    bool LinkConnected() const override { return connected; }
    void CloseLink() override { Note("close", false); }
    QString SelectedPortName() const override { return port; }
    void LinkOpened() override { Note("opened", true); }
    void LinkReleased() override { Note("released", false); }
    void Note(const char* call, bool on)
    {
        calls << call;
        connected = on;
    }
    bool connected = true;
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

    template <typename T = QWidget> T* find(const char* name) const
    {
        return form_->findChild<T*>(QLatin1String(name));
    }
    QTableWidget* grid() const { return find<QTableWidget>("StringGrid1"); }
    QString status() const { return find<QLabel>("StatusText")->text(); }
    QPushButton* load() const { return find<QPushButton>("LoadBtn"); }
    // Paths the dialog opened (the rig opens the line once on its own).
    QStringList opened() const { return rig_->device.OpenAttempts().mid(1); }

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

    // Loads the first entry, an image that the engine takes.
    void StartUpdate()
    {
        server_.Set("/small.hex", {200, Update("small.hex")});
        ShowList();
        load()->click();
        QVERIFY(form_->Updating());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(temp_.isValid());
        qputenv("TMPDIR", temp_.path().toLocal8Bit());
    }

    void init()
    {
        rig_ = std::make_unique<LinkRig>();
        rig_->port.Close();
        host_ = FakeHost();
        prompts_ = ScriptedPrompter();
        QByteArray list = Update("two-entries.txt");
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

    void showsTheListEachTime()
    {
        ShowList();
        QCOMPARE(prompts_.warned, QStringList());
        QCOMPARE(grid()->rowCount(), 3);
        QCOMPARE(grid()->item(1, 0)->text() + grid()->item(1, 2)->text(), QString("26.1.03"));
        QCOMPARE(grid()->rowHeight(1), 2 * grid()->rowHeight(0)); // a long description

        // A failed fetch leaves nothing of the earlier list to load.
        for (const HttpStub::Answer& answer :
             {HttpStub::Answer{404, "gone"}, HttpStub::Answer{200, Update("not-found.html")}}) {
            server_.Set("/list.txt", answer);
            ShowList();
            QTRY_COMPARE(prompts_.warned.size(), 1);
            QCOMPARE(grid()->rowCount(), 0);
        }
        QCOMPARE(status(), QString("No list"));
    }

    void refusesWithoutTouchingThePort_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("imageStatus");
        QTest::addColumn<QString>("image");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("message");
        const QString fake = "/dev/ttyFAKE";
        const QString html = "not-found.html", hex = "small.hex";
        QTest::newRow("404") << 0 << 404 << html << false << fake << "404";
        QTest::newRow("HTML") << 0 << 200 << html << false << fake << "no firmware";
        QTest::newRow("time-out") << 0 << 200 << hex << true << fake << "did not answer";
        QTest::newRow("no port") << 0 << 200 << hex << false << ""
                                 << "No serial port";
        QTest::newRow("ftp") << 2 << 200 << hex << false << fake << "not an http";
    }

    void refusesWithoutTouchingThePort()
    {
        QFETCH(int, row);
        QFETCH(int, imageStatus);
        QFETCH(QString, image);
        QFETCH(bool, silent);
        QFETCH(QString, message);
        QFETCH(QString, port);
        host_.port = port;
        HttpStub::Answer answer{imageStatus, Update(qPrintable(image))};
        answer.silent = silent;
        server_.Set("/small.hex", answer);
        // Virtual time runs fast while the server keeps silent.
        QTimer clock;
        connect(&clock, &QTimer::timeout, [this] { rig_->clock.Advance(1000); });
        clock.start(5);

        ShowList();
        grid()->selectRow(row);
        load()->click();
        QCOMPARE(prompts_.warned.size(), 1);
        QVERIFY2(prompts_.warned[0].contains(message), qPrintable(prompts_.warned[0]));
        QCOMPARE(opened() + host_.calls, QStringList());
        QVERIFY(load()->isEnabled());
    }

    // No boot loader answers: the link is taken over, the update fails at
    // the handshake and gives the line back. Closing during an update stops it.
    void takesOverTheLinkAndGivesItBack()
    {
        StartUpdate();
        QCOMPARE(host_.calls, QStringList({"close", "opened"}));
        QCOMPARE(opened(), QStringList("/dev/ttyFAKE"));
        QCOMPARE(rig_->device.Settings().baud, 115200u);

        prompts_.answer = false;
        form_->reject();
        QVERIFY(form_->isVisible() && form_->Updating());
        QTRY_VERIFY(!form_->Updating());
        QCOMPARE(status(), QString("Failed!"));
        QCOMPARE(prompts_.warned, QStringList("Error: Part not responding"));
        QCOMPARE(host_.calls.last(), QString("released"));
        QVERIFY(!rig_->port.IsOpen() && load()->isEnabled());

        prompts_.answer = true;
        StartUpdate();
        form_->reject();
        QVERIFY(!form_->isVisible() && !form_->Updating());
        QCOMPARE(host_.calls.last(), QString("released"));
        QVERIFY(!rig_->port.IsOpen());
    }
};

QTEST_MAIN(TestUpdateForm)
#include "tst_updateform.moc"
