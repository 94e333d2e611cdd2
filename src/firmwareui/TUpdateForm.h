#pragma once

#include "UpdateHost.h"
#include "firmware/HttpFetch.h"
#include "firmware/Isp.h"
#include "firmware/ProgrammingState.h"
#include "firmware/UpdateList.h"

#include <QDialog>
#include <QUrl>
#include <memory>
#include <vector>

class QLabel;
class QTimer;

namespace Ui {
class TUpdateForm;
}

namespace vexa {

class ModuleLink;
class Prompter;
class ProgressBarPanel;

struct UpdateFormDeps {
    // The main window's link; the update runs over its port.
    ModuleLink& link;
    Clock& clock;
    UpdateHost& host;
    // Where the update list is published.
    QUrl listAddress;
    // Messages and questions; message boxes over the dialog when not given.
    Prompter* prompter = nullptr;
    // Time-out of each transfer.
    int fetchTimeoutMs = HttpFetcher::DefaultTimeoutMs;
};

// "Firmware Update": the published updates, and the download and
// programming of the chosen one with its stages and progress.
class TUpdateForm final : public QDialog, private IspReporter {
    Q_OBJECT

public:
    explicit TUpdateForm(UpdateFormDeps deps, QWidget* parent = nullptr);
    ~TUpdateForm() override;

    // True from the port's opening until the update has ended.
    bool Updating() const { return updating_; }
    // Asks whether to stop a running update and stops it on Yes; true when
    // nothing runs any more.
    bool ConfirmStop();
    // Ends a running update at once, as failed.
    void StopUpdate();

    void SetStatusText(const QString& text);
    const std::vector<UpdateEntry>& Entries() const { return entries_; }

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FormShow();
    void FetchList();
    void LoadBtnClick();
    // Downloads the image at address and loads it into the programming state.
    bool DownloadImage(const QUrl& address);
    void Timer1Timer();
    void StatusTimerTimer();
    // outcome: what ended the update; reason: why it failed; tell: show the
    // reason in a message (not when the user stopped it).
    void EndUpdate(IspOutcome::Kind outcome, const QString& reason, bool tell);
    void RepaintStatus();
    QLabel* StagePanel(IspStage stage) const;
    // Colours the stage's panel and tells screen readers where it stands.
    void SetPanelLook(QLabel* panel, const QColor& color, const QString& where);
    void FitColumnsToHeaders();
    void Warn(const QString& text);

    // IspReporter
    void SetStage(IspStage stage, StageLook look) override;
    void SetEraseSectors(int endSector) override;
    void SetTickInterval(int ms) override;

    std::unique_ptr<Ui::TUpdateForm> ui;
    UpdateFormDeps deps_;
    std::unique_ptr<Prompter> ownPrompter_;
    Prompter& Prompts;
    HttpFetcher fetcher_;
    std::vector<UpdateEntry> entries_;
    // Where the list came from after redirects: an https list gets no http image.
    QUrl listSource_;
    QString lastStage_; // the stage reached, for screen readers
    std::unique_ptr<ProgrammingState> state_;
    int Progress = 0;
    bool updating_ = false;
    bool inStep_ = false;
    bool stopAfterStep_ = false;

    QLabel* statusText_ = nullptr;
    ProgressBarPanel* progressPanel_ = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* StatusTimer = nullptr;
};

} // namespace vexa
