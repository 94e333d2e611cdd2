#pragma once

#include "Settings.h"
#include "link/ModuleConfig.h"
#include "link/ModuleSession.h"

#include <QObject>
#include <array>
#include <functional>
#include <optional>

class QButtonGroup;
class QSpinBox;

namespace Ui {
class TMainForm;
}

namespace vexa {

// The Configure page: shows the session's configuration in the page's
// controls and reads them back. The widgets belong to the window's form.
class ConfigurePage final {
public:
    ConfigurePage(Ui::TMainForm& ui, ModuleSession& session);

    // Calls back when an interval spinner or a units button is used.
    void OnSpin(QObject* context, std::function<void(IntervalPart, int)> handler);
    void OnUnits(QObject* context, std::function<void(int)> handler);

    // The session's configuration, as last read, onto the page.
    void ShowConfig();
    // The configuration the page's values make, with the seconds fields put
    // back as limited; none while the module's interval unit is unknown.
    std::optional<ModuleConfig> ConfigFromPage();
    // One spinner moved to value: the interval steps up or down by one.
    void SpinClick(IntervalPart part, int value);
    void ShowUnits(int index);
    // The interval within its limits on the readouts, the spinners and the
    // record-time line.
    void ShowRecordTime();

    // The page's part of the settings kept between runs.
    void TakeSettings(AppSettings& s) const;
    void ApplySettings(const AppSettings& s);

private:
    ConfigControls Controls() const;
    // The interval's spinners, in the order of IntervalParts.
    std::array<QSpinBox*, 4> Spinners() const;
    // The auto start, stop and zero choices with their fields, from the
    // module's registers or from the settings alike.
    struct AutoOptions {
        int start, startSeconds, startAltitude, stop, stopSeconds, stopAltitude, zero;
    };
    void ShowAutoOptions(const AutoOptions& o);

    Ui::TMainForm& ui;
    ModuleSession& Session;
    // The interval as the spinners set it.
    RecordInterval Interval;
    // Ids are the values the items stand for.
    QButtonGroup* UnitsButtons = nullptr;
    QButtonGroup* AutoStartButtons = nullptr;
    QButtonGroup* AutoStopButtons = nullptr;
    QButtonGroup* AutoZeroButtons = nullptr;
};

} // namespace vexa
