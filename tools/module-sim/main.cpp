// vexa-module-sim: an altitude logger module on a pseudo-terminal.

#include "BootLoader.h"
#include "CommandInterpreter.h"
#include "FlightFile.h"
#include "FlightGenerator.h"
#include "LineFaults.h"
#include "ModuleModel.h"
#include "SimOptions.h"
#include "platform/PseudoTerminal.h"

#include <QCoreApplication>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int)
{
    g_stop = 1;
}

std::int64_t NowUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string Printable(std::string_view bytes)
{
    std::string out;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c < 32 || c > 126) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else
            out += static_cast<char>(c);
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace vexa::sim;

    SimOptions opt;
    std::string error;
    if (!ParseOptions(std::vector<std::string>(argv + 1, argv + argc), opt, error)) {
        std::cerr << "vexa-module-sim: " << error << "\nTry --help.\n";
        return 2;
    }
    if (opt.help) {
        std::cout << HelpText();
        return 0;
    }

    ModuleModel model;
    for (int i = 0; i < opt.flights; ++i)
        model.AddSet(GenerateFlight(opt.seed, i).set);
    for (const std::string& path : opt.loadFiles) {
        std::vector<FlightSet> sets = LoadFlightFile(path, error);
        if (sets.empty()) {
            std::cerr << "vexa-module-sim: " << error << '\n';
            return 1;
        }
        for (FlightSet& s : sets)
            model.AddSet(std::move(s));
    }

    vexa::PseudoTerminal pty;
    if (!pty.Open()) {
        std::cerr << "vexa-module-sim: cannot open a pseudo-terminal\n";
        return 1;
    }
    QString link;
    if (opt.publish) {
        const QString name =
            opt.name.empty() ? QStringLiteral("vexa-sim-%1").arg(QCoreApplication::applicationPid())
                             : QString::fromStdString(opt.name);
        link = vexa::PublishEmulatorPort(pty.DevicePath(), name);
        if (link.isEmpty())
            std::cerr << "vexa-module-sim: cannot publish the port; connect by its path\n";
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
#ifdef SIGHUP
    std::signal(SIGHUP, OnSignal); // the terminal that started us went away
#endif

    std::cout << pty.DevicePath().toStdString() << '\n';
    if (!link.isEmpty())
        std::cout << link.toStdString() << '\n';
    std::cout.flush();
    if (opt.verbose)
        std::cerr << "module with " << model.SetCount() << " sets, "
                  << (opt.baud ? std::to_string(opt.baud) + " baud" : std::string("unpaced"))
                  << '\n';

    ModuleSession session(model, opt.resetMs);
    BootLoaderOptions bootOptions;
    bootOptions.partId = opt.partId;
    bootOptions.silentAfter = opt.ispSilentAfter;
    bootOptions.resendAt = opt.ispResend;
    bootOptions.resendFrom = opt.ispResendAlways;
    bootOptions.cutAtWrite = opt.ispCutBlock;
    bootOptions.stuckByte = opt.ispStuckByte;
    auto bootLoaderOwned = std::make_unique<BootLoader>(bootOptions);
    const BootLoader& bootLoader = *bootLoaderOwned;
    session.SetBootLoader(std::move(bootLoaderOwned));
    if (opt.bootLoader)
        session.PowerUp(NowUs() / 1000, true);
    bool powerCycleOnReplug = false;
    FaultOptions faultOptions;
    faultOptions.silentAfter = opt.silentAfter;
    faultOptions.garbageEvery = opt.garbageEvery;
    faultOptions.dropAfter = opt.dropAfter;
    faultOptions.replugMs = opt.replugMs;
    faultOptions.seed = opt.seed;
    FaultInjector faults(faultOptions);
    WirePacer pacer(opt.baud);

    constexpr int IdlePollMs = 100; // how soon a signal is noticed on a quiet line
    char buf[4096];
    while (!g_stop) {
        const std::int64_t waitUs = pacer.UsUntilDue(NowUs() + 1000);
        const int timeoutMs = waitUs < 0 ? IdlePollMs : static_cast<int>((waitUs + 999) / 1000);
        const int got = pty.Read(buf, static_cast<int>(sizeof buf), timeoutMs);

        const std::int64_t nowUs = NowUs();
        const std::int64_t nowMs = nowUs / 1000;
        const bool wasUnplugged = faults.Unplugged();
        const std::string_view heard = faults.FilterInput(
            std::string_view(buf, static_cast<std::size_t>(got)), nowMs, pacer.Pending());
        if (wasUnplugged && !faults.Unplugged() && powerCycleOnReplug) {
            // Whoever pulled the cable switches the module off and on before trying again.
            powerCycleOnReplug = false;
            session.PowerUp(nowMs);
            if (opt.verbose)
                std::cerr << "-- cable back, power-up "
                          << (session.InBootLoader() ? "in the boot loader" : "as the module")
                          << '\n';
        }
        if (opt.verbose && got > 0 && heard.empty())
            std::cerr << "<< (lost on the way) "
                      << Printable(std::string_view(buf, static_cast<std::size_t>(got))) << '\n';
        if (!heard.empty()) {
            if (opt.verbose)
                std::cerr << "<< " << Printable(heard) << '\n';
            Reply reply = session.Feed(heard, nowMs);
            if (reply.cutOutput)
                pacer.Clear();
            if (reply.handover != Handover::None && opt.verbose)
                std::cerr << (session.InBootLoader() ? "-- boot loader has the line\n"
                                                     : "-- module firmware has the line\n");
            pacer.Queue(faults.Render(reply.lines), nowUs);
            if (reply.unplug) {
                faults.Unplug();
                powerCycleOnReplug = true;
                if (opt.verbose)
                    std::cerr << "-- cable pulled\n";
            }
        }

        // The loop wakes on whole milliseconds: bytes may leave up to that
        // much ahead of the wire's schedule, so that none arrives late.
        constexpr std::int64_t WakeLeadUs = 1000;
        const std::string_view due = pacer.Due(NowUs() + WakeLeadUs);
        if (!due.empty()) {
            const int put = pty.Write(due.data(), static_cast<int>(due.size()));
            pacer.Sent(static_cast<std::size_t>(put > 0 ? put : 0));
            if (put < static_cast<int>(due.size())) {
                // Nobody has read the line for a second: the rest goes
                // nowhere, as a module's transmitter does with no one listening.
                if (opt.verbose)
                    std::cerr << "-- line not read, dropping " << pacer.PendingBytes()
                              << " bytes\n";
                pacer.Clear();
            }
        }
    }

    if (!opt.flashDump.empty()) {
        std::ofstream dump(opt.flashDump, std::ios::binary | std::ios::trunc);
        dump.write(reinterpret_cast<const char*>(bootLoader.Flash().data()),
                   static_cast<std::streamsize>(bootLoader.Flash().size()));
        if (!dump)
            std::cerr << "vexa-module-sim: cannot write " << opt.flashDump << '\n';
    }
    vexa::UnpublishEmulatorPort(link);
    pty.Close();
    return 0;
}
