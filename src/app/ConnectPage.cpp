#include "ConnectPage.h"

#include "ConfigurePage.h"
#include "PortDiscovery.h"
#include "ui_TMainForm.h"
#include "widgets/Prompter.h"
#include "widgets/WaitCursor.h"

#include <QAbstractItemView>
#include <QLineEdit>

namespace vexa {

ConnectPage::ConnectPage(Ui::TMainForm& form, ModuleSession& session, ConfigurePage& config,
                         const PortSource& ports, Prompter& prompts)
    : ui(form), Session(session), Config(config), Ports(ports), Prompts(prompts)
{
    for (const std::uint32_t rate : BaudRates)
        ui.SpeedBox->addItem(QString::number(rate));
    ui.SpeedBox->setCurrentIndex(Session.SpeedIndex());
    ui.SetList->setInsertPolicy(QComboBox::NoInsert);
    QPalette info = ui.InfoText->palette();
    info.setColor(QPalette::Text, Qt::blue);
    ui.InfoText->setPalette(info);
}

void ConnectPage::FillPortList()
{
    WaitCursor wait;
    ui.CommPortBox->clear();
    Session.ClearPorts();
    EnumerateSerialPorts(Ports,
                         [this](const PortDescription& port) { return Session.ListPort(port); });
    ui.CommPortBox->addItems(Session.PortItems());
}

void ConnectPage::RefreshPortList()
{
    // Positions shift when ports come or go; the port itself is what the
    // user chose, so select it again by name or select nothing.
    const QString selected = Session.PortNameAt(ui.CommPortBox->currentIndex());
    if (!selected.isEmpty())
        WantedPort = selected;
    FillPortList();
    ui.CommPortBox->setCurrentIndex(
        WantedPort.isEmpty() ? -1 : int(Session.Ports().names.indexOf(WantedPort)));
}

void ConnectPage::WatchPorts()
{
    if (!ui.CommPortBox->view()->isVisible() && Session.PortsChanged(Ports))
        RefreshPortList();
}

void ConnectPage::SelectStoredPort(std::optional<int> stored)
{
    QComboBox* box = ui.CommPortBox;
    int position = stored.value_or(PreferredPortPosition(Session.PortEnumerators()));
    if (position < 0 || position >= box->count())
        position = -1;
    box->setCurrentIndex(position);
    const int speed = Session.SpeedIndex();
    ui.SpeedBox->setCurrentIndex(speed >= 0 && speed < ui.SpeedBox->count() ? speed : -1);
}

void ConnectPage::ToggleConnection()
{
    if (Session.Connected()) {
        Session.Disconnect();
        ShowNotConnected();
        return;
    }
    bool opened = false;
    {
        WaitCursor wait;
        opened = Session.Connect(ui.CommPortBox->currentIndex());
    }
    if (!opened) {
        // Which port and why (permissions, in use), so the user knows what to do.
        Prompts.Warn(QStringLiteral("Error"),
                     QStringLiteral("Unable to open Serial Port\n") + Session.ConnectError());
        return;
    }
    ui.ConnectBtn->setText(QStringLiteral("Disconnect"));
    ui.ConnectStatusDisp->setText(QStringLiteral("Connected"));
    // A port where nothing answers is no connection to a module, and holding
    // it would keep it from every other program.
    if (ReadConfig() == 0) {
        Session.Disconnect();
        ShowNotConnected();
    }
}

void ConnectPage::SpeedChanged(int index)
{
    if (index < 0)
        return;
    Session.SetSpeedIndex(index);
    // The line runs at the old speed; the user connects again at the new one.
    if (Session.Port().IsOpen()) {
        Session.Disconnect();
        ShowNotConnected();
    }
}

void ConnectPage::PortLost(const QString& portName)
{
    ShowNotConnected();
    for (const QString& line : PortLostLines(portName))
        AddInfo(line);
    RefreshPortList();
}

void ConnectPage::ShowNotConnected()
{
    ui.ConnectBtn->setText(QStringLiteral("Connect"));
    ui.ConnectStatusDisp->setText(QStringLiteral("Not Connected"));
}

bool ConnectPage::RequireConnected(bool showConnectPage)
{
    if (Session.Connected())
        return true;
    ui.InfoText->clear();
    AddInfo(QStringLiteral("Not Connected"));
    if (showConnectPage)
        ui.PageControl1->setCurrentWidget(ui.ConnectPage);
    return false;
}

void ConnectPage::AddInfo(const QString& line)
{
    ui.InfoText->appendPlainText(line);
}

int ConnectPage::ReadConfig()
{
    WaitCursor wait;
    AddInfo(QStringLiteral("Reading Configuration..."));
    ui.InfoText->viewport()->repaint(); // seen during the blocking reads
    const int answered = Session.ReadConfig();
    // Nothing read: the page keeps its values rather than showing zeros.
    if (answered > 0)
        Config.ShowConfig();
    AddInfo(QStringLiteral("Configuration loaded."));
    if (answered == 0)
        for (const QString& line : NoAnswerLines(Session.PortName()))
            AddInfo(line);
    return answered;
}

void ConnectPage::ShowModuleInfo(const ModuleInfo& info)
{
    ui.SetList->clear();
    ui.SetList->addItems(info.setItems);
    ui.InfoText->clear();
    for (const QString& line : info.lines)
        AddInfo(line);
    ui.SetList->setCurrentIndex(0);
    ui.FirmwareVersionDisp->setText(info.identity.softwareVersion);
    Config.ShowRecordTime();
}

void ConnectPage::SetListEdited(const QString& text)
{
    QComboBox* box = ui.SetList;
    const int named = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (named == box->currentIndex())
        return;
    if (named >= 0) {
        box->setCurrentIndex(named);
        return;
    }
    QLineEdit* edit = box->lineEdit();
    const int cursor = edit->cursorPosition();
    box->setCurrentIndex(-1); // empties the text as well
    edit->setText(text);
    edit->setCursorPosition(cursor);
}

bool ConnectPage::LinkConnected() const
{
    return Session.Connected();
}

void ConnectPage::CloseLink()
{
    Session.Disconnect();
    ShowNotConnected();
}

QString ConnectPage::SelectedPortName() const
{
    return Session.PortNameAt(ui.CommPortBox->currentIndex());
}

void ConnectPage::LinkOpened()
{
    ui.ConnectBtn->setText(QStringLiteral("Disconnect"));
    Session.UpdateTookLine();
}

void ConnectPage::LinkReleased()
{
    ui.ConnectBtn->setText(QStringLiteral("Connect"));
    Session.UpdateReleasedLine();
}

} // namespace vexa
