#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>

class QPainter;

namespace vexa {

// The status bar's Progress: thousandths while an update runs, then these.
inline constexpr int ProgressDone = 1000;
inline constexpr int ProgressFailed = -1;

// The percentage the panel shows: empty for 0, "0%" after a failure.
QString ProgressText(int progress);

// The status bar's progress panel for a Progress of 0..1000 (or -1 after a
// failure): a blue bar from the left with the percentage centred over it,
// white on the bar and black beside it. The painter's font is used.
void StatusBar1DrawPanel(QPainter& painter, const QRect& rect, int progress,
                         const QColor& buttonFace);

// The owner-drawn panel in the status bar.
class ProgressBarPanel final : public QWidget {
public:
    using QWidget::QWidget;
    void SetProgress(int progress);
    int Progress() const { return progress_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int progress_ = 0;
};

} // namespace vexa
