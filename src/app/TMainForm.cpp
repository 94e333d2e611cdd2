#include "TMainForm.h"

#include "About.h"
#include "AppResources.h"
#include "WindowFonts.h"
#include "firmwareui/TUpdateForm.h"
#include "plot/BackgroundLogo.h"
#include "ui_TMainForm.h"
#include "widgets/EventHooks.h"
#include "widgets/RadioGroup.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QStyle>
#include <QTimer>

namespace vexa {

namespace {

constexpr QSize ClientSize{774, 565};
constexpr QPoint DesignPosition{222, 148};
constexpr int StartupDelayMs = 3000;
constexpr int LogIntervalMs = 250;
constexpr int PortWatchMs = 1500;
constexpr int IconSize = 57;

QPixmap IconPixmap(const QString& path, int size, qreal ratio)
{
    QPixmap pixmap = QPixmap(path).scaled(QSize(size, size) * ratio, Qt::IgnoreAspectRatio,
                                          Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace

TMainForm::TMainForm(MainFormDeps deps, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TMainForm>()), deps_(std::move(deps)),
      Session(deps_.session ? std::move(deps_.session)
                            : std::make_unique<ModuleSession>(deps_.clock, deps_.makeDevice(),
                                                              deps_.makeDevice())),
      ownPrompter_(deps_.prompter ? nullptr : std::make_unique<MessageBoxPrompter>(this)),
      Prompts(deps_.prompter ? *deps_.prompter : *ownPrompter_)
{
    InitAppResources();
    ui->setupUi(this);
    setFixedSize(ClientSize);
    move(DesignPosition);
    setAcceptDrops(true);

    QTabWidget* pages = ui->PageControl1;
    pages->setTabVisible(pages->indexOf(ui->LogPage), false);
    SetWindowFonts(*ui, *this);
    SetupPages();

    Logo = BackgroundLogo();
    ui->Image2->setPixmap(QPixmap::fromImage(Logo));
    Plot.store = &Store;
    ui->PlotBox->SetPlot(&Plot, &Show, &Logo);

    ui->CloseBtn->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    ui->ManualBtn->setIcon(QIcon::fromTheme(QStringLiteral("x-office-document"),
                                            style()->standardIcon(QStyle::SP_FileIcon)));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(LogIntervalMs);
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setInterval(StartupDelayMs);
    Timer3->setSingleShot(true);
    PortWatchTimer = new QTimer(this);
    PortWatchTimer->setObjectName(QStringLiteral("PortWatchTimer"));
    PortWatchTimer->setInterval(PortWatchMs);

    OnActivate(ui->AboutEmail, [this] { AboutEmailClick(); });
    OnActivate(ui->AboutWebSite, [this] { AboutWebSiteClick(); });
    OnEvent(ui->AltBox, [this](QEvent* event) {
        if (event->type() != QEvent::Paint)
            return false;
        QPainter painter(ui->AltBox);
        DrawLiveChart(painter, ui->AltBox->width(), ui->AltBox->height(), Live);
        return true;
    });

    connect(Timer3, &QTimer::timeout, this, &TMainForm::Timer3Timer);
    connect(pages, &QTabWidget::currentChanged, this, &TMainForm::PageControl1Change);
    connect(ui->Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);
    connect(PortWatchTimer, &QTimer::timeout, this, &TMainForm::PortWatchTimerTimer);
    connect(ui->SpeedBox, &QComboBox::currentIndexChanged, this, &TMainForm::SpeedBoxChange);
    connect(ui->CloseBtn, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->ManualBtn, &QPushButton::clicked, this, &TMainForm::ManualBtnClick);
    connect(ui->ShowPointsChk, &QCheckBox::toggled, this, &TMainForm::ShowPointsChkClick);
    WireModuleHandlers();
    WireDataHandlers();
    WirePlotHandlers();
    WireOutputHandlers();
}

TMainForm::~TMainForm()
{
    // The pages and dialogs refer to the store and the plot record; take
    // them down while those still exist.
    qApp->removeEventFilter(this);
    qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

void TMainForm::SetupPages()
{
    Page = std::make_unique<ConfigurePage>(*ui, *Session);
    Connection = std::make_unique<ConnectPage>(*ui, *Session, *Page, deps_.ports, Prompts);
    MouseButtons = MakeRadioGroup(ui->MouseGrp, {{ui->MouseZoom, int(MouseMode::Zoom)},
                                                 {ui->MouseClimb, int(MouseMode::Climb)},
                                                 {ui->MousePeak, int(MouseMode::Peak)}});
}

void TMainForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (FirstShow)
        FormShow();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && widget->window() == this) {
        if (event->type() == QEvent::KeyPress && FormKeyDown(static_cast<QKeyEvent*>(event)))
            return true;
        // Files dropped anywhere on the window, edits included, are loaded.
        if (DropFiles(event))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool TMainForm::DropFiles(QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    QStringList paths;
    if (drop->mimeData())
        for (const QUrl& url : drop->mimeData()->urls())
            if (url.isLocalFile())
                paths << url.toLocalFile();
    if (paths.isEmpty() || Downloading)
        return false;
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    // Loaded once the drop is over, so that a message box does not hold
    // the drag's source waiting.
    if (type == QEvent::Drop)
        QTimer::singleShot(0, this, [this, paths] { OpenDataFiles(paths); });
    return true;
}

void TMainForm::FormShow()
{
    FirstShow = false;
    Connection->FillPortList();

    LoadSettings();

    ui->Image1->setPixmap(
        IconPixmap(QStringLiteral(":/vexa/vexa.png"), IconSize, devicePixelRatioF()));
    ui->PageControl1->setCurrentWidget(ui->AboutPage);
    if (Store.SetCount() == 0)
        Store.NewDataSet();
    Saved.SetStartupSet(0);
    Live = LiveRing(ui->AltBox->width());
    ui->AMaxLabel->setText(QStringLiteral("10000"));
    ui->AMinLabel->setText(QStringLiteral("0"));
    ui->VersionInfo->setText(GetVersionText());
    ui->BuildInfo->setText(BuildDateText());

    Connection->SelectStoredPort(StoredPort);

    Timer3->start();
    PortWatchTimer->start();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // The download loop still runs on this window's members.
    if (Downloading) {
        event->ignore();
        return;
    }
    // Sets not saved are saved or discarded, as the user says. Asked
    // before the update, so that a Cancel here stops nothing.
    if (!ConfirmClose()) {
        event->ignore();
        return;
    }
    // A firmware update ends only when the user agrees to cut it off.
    if (UpdateForm && !UpdateForm->ConfirmStop()) {
        event->ignore();
        return;
    }
    SaveSettings();
    QWidget::closeEvent(event);
}

void TMainForm::Timer3Timer()
{
    Timer3->stop();
    SetSizeable(ui->SizeChk->isChecked());
    ui->PageControl1->setCurrentWidget(OpenedAtStart ? ui->DataPage : ui->ConnectPage);
}

void TMainForm::PageControl1Change(int /*index*/)
{
    ui->XYDisp->clear();
    ui->ROCDisp->clear();
}

void TMainForm::Button1Click()
{
    Connection->RefreshPortList();
}

void TMainForm::PortWatchTimerTimer()
{
    // Not while a download or an update has the line and the window waits on it.
    if (!Downloading && !(UpdateForm && UpdateForm->isVisible()))
        Connection->WatchPorts();
}

void TMainForm::SpeedBoxChange(int index)
{
    Connection->SpeedChanged(index);
}

void TMainForm::AboutEmailClick()
{
    deps_.shell.Open(MailUrl(ui->AboutEmail->text()));
}

void TMainForm::AboutWebSiteClick()
{
    deps_.shell.Open(QUrl::fromUserInput(ui->AboutWebSite->text().trimmed()));
}

void TMainForm::ManualBtnClick()
{
    const QStringList candidates = ManualCandidates(deps_.programDir, deps_.dataDirs);
    const QString manual = FindManual(candidates);
    if (manual.isEmpty()) {
        Prompts.Warn(QStringLiteral("Vexa"), ManualMissingText(candidates));
        return;
    }
    // No PDF viewer or no opener: say so rather than nothing.
    if (!deps_.shell.Open(QUrl::fromLocalFile(manual)))
        Prompts.Warn(QStringLiteral("Vexa"),
                     QStringLiteral("Unable to open %1!\nNo PDF viewer is installed, or none is "
                                    "set to open PDF files. Install one to read the manual.")
                         .arg(QDir::toNativeSeparators(manual)));
}

void TMainForm::SetSizeable(bool sizeable)
{
    if (sizeable) {
        // The design size always fits, whatever the tab bar's estimate of itself.
        setMinimumSize(layout()->minimumSize().boundedTo(ClientSize));
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        setFixedSize(ClientSize);
    }
}

} // namespace vexa
