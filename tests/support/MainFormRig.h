#pragma once

// One main window over fakes in virtual time: the module's line, the line
// ports are test-opened on, a scripted user and desktop.
#include "FakeSerialDevice.h"
#include "RecordingShell.h"
#include "ScriptedPrinter.h"
#include "ScriptedUser.h"
#include "VirtualClock.h"
#include "app/TMainForm.h"

#include <QAbstractButton>
#include <QLabel>
#include <memory>

namespace vexa::test {

struct MainFormRig {
    explicit MainFormRig(std::vector<PortDescription> list = {{"ttyUSB0", "USB Serial", "USB"}},
                         const QString& programDir = {})
    {
        ports.ports = std::move(list);
        auto lineDevice = std::make_unique<FakeSerialDevice>(clock);
        auto probeDevice = std::make_unique<FakeSerialDevice>(clock);
        line = lineDevice.get();
        probe = probeDevice.get();
        MainFormDeps deps{clock, {}, ports, shell, programDir, &prompts, &files, &colors};
        deps.printers = &printers;
        deps.session =
            std::make_unique<ModuleSession>(clock, std::move(lineDevice), std::move(probeDevice));
        form = std::make_unique<TMainForm>(std::move(deps));
    }

    template <typename T = QWidget> T* find(const char* name) const
    {
        T* child = form->findChild<T*>(QLatin1String(name));
        if (!child)
            qFatal("no control %s", name);
        return child;
    }
    void click(const char* name) const { find<QAbstractButton>(name)->click(); }
    QString text(const char* name) const { return find<QLabel>(name)->text(); }

    VirtualClock clock;
    ListedPorts ports;
    RecordingShell shell;
    ScriptedPrompter prompts;
    ScriptedFiles files;
    ScriptedColors colors;
    ScriptedPrinter printers;
    // The session's lines, owned by the window.
    FakeSerialDevice* line = nullptr;
    FakeSerialDevice* probe = nullptr;
    std::unique_ptr<TMainForm> form;
};

} // namespace vexa::test
