#pragma once

#include "firmware/Isp.h"
#include "link/ModuleLink.h"

#include <QStringList>

namespace vexa::test {

// Records what the engine shows, one line per call, for comparison with
// the stage panels' story.
class RecordingReporter final : public IspReporter {
public:
    void SetStage(IspStage stage, StageLook look) override
    {
        static const char* const stages[] = {"Connect",    "Synchronize", "Unlock", "Erase",
                                             "BlankCheck", "Program",     "Restart"};
        static const char* const looks[] = {"shown", "passed", "failed"};
        events << QStringLiteral("%1 %2").arg(QLatin1String(stages[static_cast<int>(stage)]),
                                              QLatin1String(looks[static_cast<int>(look)]));
    }
    void SetEraseSectors(int endSector) override { eraseEnd = endSector; }
    void SetTickInterval(int ms) override { intervalMs = ms; }

    QStringList events;
    int eraseEnd = -1;
    int intervalMs = Isp::SlowTickMs;
};

// Steps the engine as the update dialog's timer does: one step a tick, the
// tick interval the engine asks for in between (unless told to skip the
// waits). Returns the last outcome.
inline IspOutcome RunIsp(ProgrammingState& state, ModuleLink& link, RecordingReporter& reporter,
                         bool startIsp, bool waitTicks = true)
{
    Clock& clock = link.port().clock();
    IspOutcome outcome;
    do {
        if (waitTicks)
            clock.SleepMs(reporter.intervalMs);
        outcome = IspStep(state, link, reporter, startIsp);
    } while (outcome.Running());
    return outcome;
}

} // namespace vexa::test
