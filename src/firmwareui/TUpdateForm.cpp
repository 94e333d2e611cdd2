#include "TUpdateForm.h"

#include "StatusPanel.h"
#include "link/ModuleLink.h"
#include "ui_TUpdateForm.h"
#include "widgets/Prompter.h"
#include "widgets/WaitCursor.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QHeaderView>
#include <QPainter>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTemporaryFile>
#include <QTimer>

namespace vexa {
namespace {

constexpr int ColumnWidths[] = {20, 50, 50, 425, 1};
constexpr int RowHeight = 18;
constexpr int VisibleEntries = 7;
constexpr int StatusTimerMs = 2000;
constexpr std::uint32_t UpdateBaud = 115200;
const QColor Grey(0x80, 0x80, 0x80);
const QColor Lime(0x00, 0xFF, 0x00);
const QColor Red(0xFF, 0x00, 0x00);

QFont PixelFont(const QStringList& families, int pixels, bool bold, QFont::StyleHint hint)
{
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// StringGrid1DrawCell: the number column looks like a fixed cell, the
// selected row is highlighted, and every text wraps inside its cell.
class GridCellPainter final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const QRect r = option.rect;
        const QPalette& pal = option.palette;
        const bool fixed = index.column() == 0;
        QColor fill = pal.color(QPalette::Base);
        QColor text = pal.color(QPalette::Text);
        if (fixed) {
            fill = pal.color(QPalette::Button);
            text = pal.color(QPalette::ButtonText);
        } else if (option.state & QStyle::State_Selected) {
            fill = pal.color(QPalette::Highlight);
            text = pal.color(QPalette::HighlightedText);
        }
        painter->save();
        painter->fillRect(r, fill);
        if (fixed) {
            painter->setPen(pal.color(QPalette::Light));
            painter->drawLine(r.topLeft(), r.topRight());
            painter->drawLine(r.topLeft(), r.bottomLeft());
            painter->setPen(pal.color(QPalette::Dark));
            painter->drawLine(r.bottomLeft(), r.bottomRight());
            painter->drawLine(r.topRight(), r.bottomRight());
        }
        painter->setFont(option.font);
        painter->setPen(text);
        painter->drawText(r.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                          index.data().toString());
        painter->restore();
    }
};

} // namespace

TUpdateForm::TUpdateForm(UpdateFormDeps deps, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TUpdateForm>()), deps_(std::move(deps)),
      ownPrompter_(deps_.prompter ? nullptr : std::make_unique<MessageBoxPrompter>(this)),
      Prompts(deps_.prompter ? *deps_.prompter : *ownPrompter_),
      fetcher_(deps_.clock, deps_.fetchTimeoutMs), state_(std::make_unique<ProgrammingState>())
{
    ui->setupUi(this);
    setFixedSize(size());

    ui->Label1->setFont(PixelFont({QApplication::font().family()}, 13, false, QFont::SansSerif));

    QTableWidget* grid = ui->StringGrid1;
    grid->setFont(PixelFont({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                             QFontDatabase::systemFont(QFontDatabase::FixedFont).family()},
                            12, false, QFont::TypeWriter));
    grid->setItemDelegate(new GridCellPainter(grid));
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setMinimumSectionSize(1);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setStretchLastSection(false);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setFixedHeight(RowHeight);
    // Room for the header row and seven entries; more entries scroll.
    grid->setFixedHeight(RowHeight * (1 + VisibleEntries) + 2 * grid->frameWidth());

    QFont statusFont = PixelFont(
        {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"), QApplication::font().family()},
        11, true, QFont::SansSerif);
    QStatusBar* bar = ui->StatusBar1;
    bar->setFont(statusFont);
    statusText_ = new QLabel(bar);
    statusText_->setObjectName(QStringLiteral("StatusText"));
    statusText_->setAccessibleDescription(QStringLiteral("Update status"));
    statusText_->setFixedWidth(100);
    progressPanel_ = new ProgressBarPanel(bar);
    progressPanel_->setObjectName(QStringLiteral("StatusProgress"));
    progressPanel_->setAccessibleDescription(QStringLiteral("Update progress"));
    progressPanel_->setFixedWidth(400);
    auto* spare = new QLabel(bar);
    spare->setFixedWidth(50);
    bar->addWidget(statusText_);
    bar->addWidget(progressPanel_);
    bar->addWidget(spare);

    ui->MsgList->setFont(PixelFont(
        {QStringLiteral("Fixedsys"), QFontDatabase::systemFont(QFontDatabase::FixedFont).family()},
        12, false, QFont::TypeWriter));
    QFont wingdings = ui->ListShowBtn->font();
    wingdings.setFamily(QStringLiteral("Wingdings 3"));
    ui->ListShowBtn->setFont(wingdings);

    for (QLabel* panel : ui->ProgressPanel->findChildren<QLabel*>()) {
        QPalette pal = panel->palette();
        pal.setColor(QPalette::Window, Qt::black);
        panel->setPalette(pal);
        QFont bold = panel->font();
        bold.setBold(true);
        panel->setFont(bold);
        SetPanelLook(panel, Grey, QStringLiteral("not reached"));
    }
    ui->OutcomeText->setAccessibleDescription(QStringLiteral("Outcome of the last update"));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(Isp::SlowTickMs);
    StatusTimer = new QTimer(this);
    StatusTimer->setObjectName(QStringLiteral("StatusTimer"));
    StatusTimer->setInterval(StatusTimerMs);

    connect(ui->LoadBtn, &QPushButton::clicked, this, &TUpdateForm::LoadBtnClick);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TUpdateForm::reject);
    connect(Timer1, &QTimer::timeout, this, &TUpdateForm::Timer1Timer);
    connect(StatusTimer, &QTimer::timeout, this, &TUpdateForm::StatusTimerTimer);
}

TUpdateForm::~TUpdateForm()
{
    // The main window may be half gone by now: let go of the line, tell it nothing.
    Timer1->stop();
    if (updating_)
        deps_.link.port().Close();
}

void TUpdateForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Not again when the window comes back from being minimised.
    if (!event->spontaneous())
        FormShow();
}

void TUpdateForm::hideEvent(QHideEvent* event)
{
    // A list or image still on its way is of no use to a closed dialog.
    fetcher_.Abort();
    QDialog::hideEvent(event);
}

void TUpdateForm::FormShow()
{
    QTableWidget* grid = ui->StringGrid1;
    grid->setColumnCount(int(std::size(ColumnWidths)));
    for (int c = 0; c < grid->columnCount(); ++c)
        grid->setColumnWidth(c, ColumnWidths[c]);
    grid->setHorizontalHeaderLabels({QString(), QStringLiteral("Module"), QStringLiteral("Version"),
                                     QStringLiteral("Description"), QStringLiteral("Filename")});
    FitColumnsToHeaders();
    // Rows of an earlier showing are never offered again.
    entries_.clear();
    grid->setRowCount(0);
    // Fetched once the dialog is on screen, so the user sees what is waited for.
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && !fetcher_.Busy())
            FetchList();
    });
}

// Module and Version are wider than their headers need only in the
// drawing's font; the description gives up what they take.
void TUpdateForm::FitColumnsToHeaders()
{
    QTableWidget* grid = ui->StringGrid1;
    QHeaderView* header = grid->horizontalHeader();
    const QFontMetrics metrics(header->font());
    const int margin =
        2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 6;
    int extra = 0;
    for (int c : {1, 2}) {
        const QTableWidgetItem* item = grid->horizontalHeaderItem(c);
        const int need = item ? metrics.horizontalAdvance(item->text()) + margin : 0;
        const int width = std::max(ColumnWidths[c], need);
        extra += width - ColumnWidths[c];
        grid->setColumnWidth(c, width);
    }
    grid->setColumnWidth(3, std::max(ColumnWidths[3] - extra, ColumnWidths[3] / 2));
}

void TUpdateForm::FetchList()
{
    QByteArray body;
    FetchResult result;
    {
        WaitCursor wait;
        ui->LoadBtn->setEnabled(false);
        SetStatusText(QStringLiteral("Reading list..."));
        result = fetcher_.Get(deps_.listAddress, body);
        ui->LoadBtn->setEnabled(!updating_);
    }
    if (!isVisible())
        return;
    if (result.ok && IsWebPage(body)) {
        result.ok = false;
        result.error = QStringLiteral("The server sent a web page instead of the list.");
    }
    if (!result.ok) {
        SetStatusText(QStringLiteral("No list"));
        Warn(QStringLiteral("The list of updates could not be read from %1.\n%2")
                 .arg(deps_.listAddress.toDisplayString(), result.error));
        return;
    }
    SetStatusText(QString());
    listSource_ = result.url.isValid() ? result.url : deps_.listAddress;

    entries_ = ParseUpdateList(body);
    QTableWidget* grid = ui->StringGrid1;
    grid->setRowCount(int(entries_.size()));
    const int headerHeight = grid->horizontalHeader()->height();
    for (int row = 0; row < grid->rowCount(); ++row) {
        const UpdateEntry& e = entries_[std::size_t(row)];
        const QString cells[] = {QString::number(e.number), e.module, e.version, e.description,
                                 e.fileAddress};
        for (int c = 0; c < grid->columnCount(); ++c)
            grid->setItem(row, c, new QTableWidgetItem(cells[c]));
        grid->setRowHeight(row, headerHeight * DescriptionLines(e.description));
    }
    if (grid->rowCount() > 0)
        grid->selectRow(0);
}

void TUpdateForm::LoadBtnClick()
{
    if (updating_ || fetcher_.Busy())
        return;
    const QModelIndexList rows = ui->StringGrid1->selectionModel()->selectedRows();
    int row = -1;
    for (const QModelIndex& index : rows)
        row = row < 0 ? index.row() : std::min(row, index.row());
    if (row < 0 || row >= int(entries_.size())) {
        Warn(QStringLiteral("No update selected"));
        return;
    }
    const UpdateEntry& entry = entries_[std::size_t(row)];
    const QUrl address = ImageAddress(entry.fileAddress);
    if (address.isEmpty()) {
        Warn(QStringLiteral("The update's file address \"%1\" is not an http or https address.")
                 .arg(entry.fileAddress.trimmed()));
        return;
    }
    if (DowngradesFrom(listSource_, address)) {
        Warn(QStringLiteral("The update list came over a secure (https) connection, but the "
                            "update's file address %1 is not secure. The update was not "
                            "downloaded.")
                 .arg(address.toDisplayString()));
        return;
    }
    const QString portName = deps_.host.SelectedPortName();
    if (portName.isEmpty()) {
        Warn(QStringLiteral("No serial port selected"));
        return;
    }

    ui->LoadBtn->setEnabled(false);
    if (!DownloadImage(address)) {
        ui->LoadBtn->setEnabled(true);
        return;
    }

    for (IspStage stage : {IspStage::Synchronize, IspStage::Unlock, IspStage::Erase,
                           IspStage::BlankCheck, IspStage::Program, IspStage::Restart})
        StagePanel(stage)->hide();
    ui->ProgressPanel->show();
    for (QLabel* panel : ui->ProgressPanel->findChildren<QLabel*>())
        SetPanelLook(panel, Grey, QStringLiteral("not reached"));
    ui->OutcomeText->clear();
    lastStage_ = StageName(IspStage::Connect);

    if (deps_.host.LinkConnected())
        deps_.host.CloseLink();
    SerialPort& port = deps_.link.port();
    if (port.IsOpen())
        port.Close();

    bool opened = false;
    {
        WaitCursor wait;
        opened = port.Open(DevicePath(portName), UpdateBaud, LineMode::EightNoneOne);
    }
    if (!opened) {
        SetPanelLook(ui->ConnectedPanel, Red, QStringLiteral("failed"));
        QString text = QStringLiteral("Unable to open Serial Port");
        text += QLatin1Char('\n') + portName;
        if (!port.OpenError().isEmpty())
            text += QStringLiteral(": ") + port.OpenError();
        Warn(text);
        SetPanelLook(ui->ConnectedPanel, Grey, QStringLiteral("not reached"));
        ui->ProgressPanel->hide();
        ui->LoadBtn->setEnabled(true);
        return;
    }
    deps_.host.LinkOpened();
    SetPanelLook(ui->ConnectedPanel, Lime, QStringLiteral("passed"));
    SetStatusText(QStringLiteral("Loading..."));
    updating_ = true;
    stopAfterStep_ = false;
    ui->StartISPChk->setEnabled(false);
    StatusTimer->stop();
    Progress = 0;
    RepaintStatus();
    Timer1->setInterval(Isp::SlowTickMs);
    Timer1->start();
}

bool TUpdateForm::DownloadImage(const QUrl& address)
{
    // The working directory may not be writable; the user's temp folder is.
    // The file goes away with this object, however the download ends.
    QTemporaryFile file(QDir(QDir::tempPath()).filePath(QStringLiteral("vexa-update-XXXXXX.hex")));
    if (!file.open()) {
        Warn(QStringLiteral("Unable to open file.\n%1").arg(file.errorString()));
        return false;
    }
    FetchResult result;
    {
        WaitCursor wait;
        SetStatusText(QStringLiteral("Downloading..."));
        result = fetcher_.GetToFile(address, file);
    }
    file.close();
    if (!isVisible())
        return false;
    if (!result.ok) {
        SetStatusText(QStringLiteral("Failed!"));
        Warn(QStringLiteral("The update could not be downloaded from %1.\n%2")
                 .arg(address.toDisplayString(), result.error));
        return false;
    }
    const HexLoadResult loaded = LoadHexFile(file.fileName(), *state_);
    if (!loaded.ok) {
        SetStatusText(QStringLiteral("Failed!"));
        Warn(loaded.message);
        return false;
    }
    SetStatusText(QString());
    return true;
}

void TUpdateForm::Timer1Timer()
{
    Timer1->stop();
    if (!updating_)
        return;
    inStep_ = true;
    const IspOutcome outcome = IspStep(*state_, deps_.link, *this, ui->StartISPChk->isChecked());
    inStep_ = false;
    if (stopAfterStep_) {
        EndUpdate(IspOutcome::Kind::Failed, QStringLiteral("The update was stopped."), false);
        return;
    }
    if (outcome.Running()) {
        Progress = outcome.thousandths;
        Timer1->start();
        RepaintStatus();
        return;
    }
    EndUpdate(outcome.kind, outcome.reason, true);
}

void TUpdateForm::EndUpdate(IspOutcome::Kind outcome, const QString& reason, bool tell)
{
    Timer1->stop();
    updating_ = false;
    const bool complete = outcome == IspOutcome::Kind::Complete;
    Progress = complete ? ProgressDone : ProgressFailed;
    deps_.link.port().Close();
    deps_.host.LinkReleased();
    SetPanelLook(ui->ConnectedPanel, Grey, QStringLiteral("port closed"));
    // The stage panels and this line keep the outcome until the next Load;
    // the status bar's text goes after its timer.
    const QString status = complete ? QStringLiteral("Complete.") : QStringLiteral("Failed!");
    ui->OutcomeText->setText(
        complete ? status + QStringLiteral(" The module runs its new firmware.")
                 : status + QLatin1Char(' ') + reason.section(QLatin1Char('\n'), 0, 0));
    ui->StartISPChk->setEnabled(true);
    ui->LoadBtn->setEnabled(true);
    // Read out after the status text has been cleared, too.
    lastStage_ = status + QLatin1Char(' ') + lastStage_;
    SetStatusText(status);
    RepaintStatus();
    if (!complete && tell)
        Warn(reason);
    StatusTimer->start();
}

void TUpdateForm::StopUpdate()
{
    if (!updating_)
        return;
    if (inStep_) {
        // The step still works on the port; it is closed when the step returns.
        stopAfterStep_ = true;
        return;
    }
    EndUpdate(IspOutcome::Kind::Failed, QStringLiteral("The update was stopped."), false);
}

bool TUpdateForm::ConfirmStop()
{
    if (!updating_)
        return true;
    if (inStep_)
        return false;
    WaitCursor::Pause normal;
    if (!Prompts.AskYesNo(QStringLiteral("Vexa"),
                          QStringLiteral("A firmware update is running. Stopping it leaves the "
                                         "module without working firmware until an update "
                                         "completes.\n\nStop the update?")))
        return false;
    StopUpdate();
    return !updating_;
}

void TUpdateForm::reject()
{
    if (!ConfirmStop())
        return;
    QDialog::reject();
}

void TUpdateForm::StatusTimerTimer()
{
    SetStatusText(QString());
    Progress = 0;
    RepaintStatus();
    StatusTimer->stop();
}

void TUpdateForm::SetStatusText(const QString& text)
{
    statusText_->setText(text);
    statusText_->setAccessibleName(text);
    ui->StatusBar1->setAccessibleName(text.isEmpty() ? QStringLiteral("Update status") : text);
}

void TUpdateForm::RepaintStatus()
{
    progressPanel_->SetProgress(Progress);
    if (!lastStage_.isEmpty())
        ui->StatusBar1->setAccessibleDescription(lastStage_);
    ui->StatusBar1->repaint();
}

QLabel* TUpdateForm::StagePanel(IspStage stage) const
{
    switch (stage) {
    case IspStage::Connect:
        return ui->ConnectedPanel;
    case IspStage::Synchronize:
        return ui->SyncPanel;
    case IspStage::Unlock:
        return ui->UnlockPanel;
    case IspStage::Erase:
        return ui->ErasedPanel;
    case IspStage::BlankCheck:
        return ui->BlankPanel;
    case IspStage::Program:
        return ui->ProgPanel;
    case IspStage::Restart:
        break;
    }
    return ui->RestartPanel;
}

void TUpdateForm::SetPanelLook(QLabel* panel, const QColor& color, const QString& where)
{
    QPalette pal = panel->palette();
    pal.setColor(QPalette::WindowText, color);
    panel->setPalette(pal);
    panel->setAccessibleDescription(where);
}

void TUpdateForm::Warn(const QString& text)
{
    Prompts.Warn(QStringLiteral("Error"), text);
}

void TUpdateForm::SetStage(IspStage stage, StageLook look)
{
    QLabel* panel = StagePanel(stage);
    QString where;
    switch (look) {
    case StageLook::Shown:
        panel->show();
        panel->setAccessibleDescription(QStringLiteral("running"));
        where = QStringLiteral("running");
        break;
    case StageLook::Passed:
        SetPanelLook(panel, Lime, QStringLiteral("passed"));
        where = QStringLiteral("passed");
        break;
    case StageLook::Failed:
        SetPanelLook(panel, Red, QStringLiteral("failed"));
        where = QStringLiteral("failed");
        break;
    }
    lastStage_ = QStringLiteral("Stage %1: %2").arg(StageName(stage), where);
    ui->StatusBar1->setAccessibleDescription(lastStage_);
}

void TUpdateForm::SetEraseSectors(int endSector)
{
    const QString caption = QStringLiteral("Erase 0-%1\r").arg(endSector);
    ui->ErasedPanel->setText(caption);
    ui->ErasedPanel->setAccessibleName(caption.trimmed());
}

void TUpdateForm::SetTickInterval(int ms)
{
    Timer1->setInterval(ms);
}

} // namespace vexa
