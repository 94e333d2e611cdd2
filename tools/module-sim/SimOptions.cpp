#include "SimOptions.h"

#include <charconv>
#include <limits>

namespace vexa::sim {

namespace {

template <typename T> bool ParseNumber(const std::string& text, T lo, T hi, T& out)
{
    T v{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || ptr != end || v < lo || v > hi)
        return false;
    out = v;
    return true;
}

} // namespace

bool ParseOptions(const std::vector<std::string>& args, SimOptions& o, std::string& error)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        bool hasValue = false;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            value = args[++i];
            return true;
        };
        auto intOption = [&](int lo, int hi, int& out) -> bool {
            if (!takeValue())
                return false;
            if (!ParseNumber(value, lo, hi, out)) {
                error = arg + ": expected a whole number from " + std::to_string(lo) + " to " +
                        std::to_string(hi) + ", got \"" + value + "\"";
                return false;
            }
            return true;
        };

        if (arg == "-h" || arg == "--help") {
            o.help = true;
        } else if (arg == "-v" || arg == "--verbose") {
            o.verbose = true;
        } else if (arg == "--no-publish") {
            o.publish = false;
        } else if (arg == "--baud") {
            if (!intOption(50, 4'000'000, o.baud))
                return false;
        } else if (arg == "--flights") {
            if (!intOption(0, 1000, o.flights))
                return false;
        } else if (arg == "--seed") {
            if (!takeValue())
                return false;
            if (!ParseNumber(value, std::uint64_t{0}, std::numeric_limits<std::uint64_t>::max(),
                             o.seed)) {
                error = "--seed: expected a whole number, got \"" + value + "\"";
                return false;
            }
        } else if (arg == "--load") {
            if (!takeValue())
                return false;
            o.loadFiles.push_back(value);
        } else if (arg == "--silent-after") {
            if (!intOption(0, std::numeric_limits<int>::max(), o.silentAfter))
                return false;
        } else if (arg == "--garbage-every") {
            if (!intOption(1, std::numeric_limits<int>::max(), o.garbageEvery))
                return false;
        } else if (arg == "--drop-after") {
            if (!intOption(0, std::numeric_limits<int>::max(), o.dropAfter))
                return false;
        } else if (arg == "--replug-ms") {
            if (!intOption(0, 3'600'000, o.replugMs))
                return false;
        } else if (arg == "--reset-ms") {
            if (!intOption(0, 60'000, o.resetMs))
                return false;
        } else if (arg == "--boot-loader") {
            o.bootLoader = true;
        } else if (arg == "--flash-dump") {
            if (!takeValue())
                return false;
            o.flashDump = value;
        } else if (arg == "--part-id") {
            if (!takeValue())
                return false;
            if (!ParseNumber(value, std::uint32_t{0}, std::numeric_limits<std::uint32_t>::max(),
                             o.partId)) {
                error = "--part-id: expected a whole number, got \"" + value + "\"";
                return false;
            }
        } else if (arg == "--isp-silent-after") {
            if (!intOption(0, std::numeric_limits<int>::max(), o.ispSilentAfter))
                return false;
        } else if (arg == "--isp-resend") {
            if (!intOption(1, std::numeric_limits<int>::max(), o.ispResend))
                return false;
        } else if (arg == "--isp-resend-always") {
            if (!intOption(1, std::numeric_limits<int>::max(), o.ispResendAlways))
                return false;
        } else if (arg == "--isp-stuck-byte") {
            if (!intOption(0, 32767, o.ispStuckByte))
                return false;
        } else if (arg == "--isp-cut-block") {
            if (!intOption(1, std::numeric_limits<int>::max(), o.ispCutBlock))
                return false;
        } else if (arg == "--name") {
            if (!takeValue())
                return false;
            if (value.empty() || value.find('/') != std::string::npos || value == "." ||
                value == "..") {
                error = "--name: \"" + value + "\" is not a plain file name";
                return false;
            }
            o.name = value;
        } else {
            error = "unknown option " + args[i];
            return false;
        }
    }
    return true;
}

std::string HelpText()
{
    return R"(Usage: vexa-module-sim [options]

Plays an altitude logger module on a pseudo-terminal, for the Vexa program
and its tests. On start it prints the terminal's path on the first line of
standard output and, when published, the link's path on the second, then
answers the module's commands until SIGINT, SIGTERM or SIGHUP, and removes
its link on the way out.

Module contents:
  --flights N        Recorded flights in memory (default 3, up to 1000). Each
                     differs in sampling interval (50 to 500 ms) and units;
                     the first always carries trigger events.
  --seed S           Seed for the flights and the garbage lines (default 1).
                     The same seed gives the same flights.
  --load FILE        Adds the sets of FILE after the flights; repeatable. FILE
                     is either one altitude per line (feet, 100 ms apart) or a
                     Vexa data file (single set or plot file), whose interval,
                     units and trigger marks are kept.

The line:
  --baud N           Sends at the wire speed of N baud, 10 bits a byte
                     (default: as fast as the terminal takes it).
  --name NAME        Link name in the emulator port folder
                     (default vexa-sim-<pid>).
  --no-publish       Makes no link; only the terminal's path is printed.
  --reset-ms MS      How long the module stays deaf after "*" (default 1500).

Faults:
  --silent-after N   Sends N lines, then nothing ever again. The module still
                     obeys what it hears.
  --garbage-every N  Sends a line of noise (no digits) after every N lines.
  --drop-after N     Pulls the cable in every download after N record lines:
                     half of the next line arrives without its line end, then
                     the line stays dead both ways until it has been quiet for
                     the replug time. The terminal stays open, as the PC's
                     port does when the cable to the module comes out.
  --replug-ms MS     How long the cable stays out (default 2000).

Other:
  -v, --verbose      Logs every command received on standard error.
  -h, --help         Shows this text.

How it answers: every command's first line echoes it (the acknowledgement),
an unknown one gets "ERR <command>" alone. Register defaults: SR 4, SI 25
(100 ms sampling), SA 20, PA 15, ST 10, PT 60, UA 0, AS 2, AP 2, AZ 3, RT 1,
RV 0. Writes hold for the run; "CW" commits them, "*" brings back the
committed ones, "CR" restores the defaults. "EA=1" erases all sets, "ES=n"
erases set n+1 counted from 0 ("ES=-1" the first set) and moves the later
ones down; other values erase nothing. "DL=n" for a missing set sends the acknowledgement only.

Download lines, each ended by CR LF: the acknowledgement "DL=k", the header
"k,interval_ms,record_lines,trigger_flag,units", then one altitude per line;
"-1535" before a sample marks a trigger at that sample.

The boot loader: "!" is answered with the acknowledgement "!" and the byte
"!", and the microcontroller's UART boot loader takes the line: a 32 KB part
(eight 4 KB sectors, 8 KB of RAM from 0x10000000). "?" gets "Synchronized",
then "Synchronized" and the crystal frequency in kHz each get "OK". Every
line received is echoed, ended by CR LF, while echo is on ("A 0" / "A 1").
Commands, numbers in decimal: U 23130 (unlock), J (part identification),
K (boot code version), N (serial number), B, P/E/I first last (prepare,
erase, blank check sectors 0-7), W addr count (write to RAM: UU lines, the
byte sum after every 20 lines and at the end, answered OK or RESEND), R addr
count (read: UU lines and sums, the program answers OK or RESEND), C flash
ram count (copy RAM to flash), M addr1 addr2 count (compare), G addr T (go).
Replies are the ROM's return codes ("0" success, 1 invalid command, 6 count,
7 invalid sector, 8 sector not blank, 9 not prepared, 10 compare error,
12 parameter, 13 address, 14 not mapped, 15 locked, 16 invalid code, ...).
Flash acts as flash: erase sets bytes to 0xFF, a copy only clears bits, and
erase and copy need a prepare of their sectors and the unlock. While the
boot loader runs, reads (R) and compares (M) of flash addresses 0 to 511 see
its own vector table, not the flash. G with the reset routine in RAM resets
the part: with a valid vector checksum (words 0 to 7 of the flash sum to 0)
the module answers again, otherwise the boot loader starts afresh; G into
flash runs the image, and G anywhere else leaves the part silent. Power-up
follows the same rule; the emulator starts with a small valid stand-in image.
  --boot-loader      Starts in the boot loader, as with the boot pin held.
  --flash-dump FILE  Writes the 32 KB flash to FILE when the emulator ends.
  --part-id N        Part identification J answers (default 71569451).
  --isp-silent-after N  The boot loader sends N lines (echoes included),
                     then nothing ever again.
  --isp-resend N     Answers the N-th checksum line RESEND once, right or
                     not; the same lines sent again are answered OK.
  --isp-resend-always N  From the N-th checksum line on, answers every one
                     RESEND.
  --isp-cut-block K  Pulls the cable after the sixth data line of the K-th
                     write to RAM (counted from 1). When it goes back in
                     (see --replug-ms) the module is switched off and on.
  --isp-stuck-byte A A worn flash cell: the byte at address A (0 to 32767)
                     stays 0xFF whatever is copied to it.
)";
}

} // namespace vexa::sim
