#include "Isp.h"

#include "link/ModuleActions.h"
#include "link/ModuleLink.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace vexa {

namespace {

constexpr int RestartChecksum()
{
    int sum = 0;
    for (const std::uint8_t b : Isp::RestartRoutine)
        sum += b;
    return sum;
}
static_assert(RestartChecksum() == 1462);
static_assert(Isp::BlockBytes == 11 * Isp::UuLineBytes + 17);
static_assert(Isp::RamBuffer == 268436224);

char UuChar(unsigned value)
{
    return value == 0 ? '`' : static_cast<char>(value + 32);
}

// One engine step's exchanges on the link.
class Exchange {
public:
    explicit Exchange(ModuleLink& link) : link_(link), port_(link.port()) {}

    // Sends the formatted text with SendCommand (which adds a CR and reads
    // one line, the boot loader's echo).
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    void
    Send(const char* format, ...)
    {
        char text[LineMax + 1];
        va_list args;
        va_start(args, format);
        std::vsnprintf(text, sizeof text, format, args);
        va_end(args);
        link_.SendCommand(text);
    }
    // The boot loader's reply line; 0 when none arrived.
    int Reply()
    {
        return port_.ReadLine(line_, Isp::ReplyMax, Isp::ReplyMs);
    }
    const char* Line() const
    {
        return line_;
    }
    bool LineStarts(const char* prefix) const
    {
        return std::strncmp(line_, prefix, std::strlen(prefix)) == 0;
    }
    // A reply line that arrived and begins with the return code 0.
    bool Succeeded()
    {
        return Reply() > 0 && line_[0] == '0';
    }
    ModuleLink& Link()
    {
        return link_;
    }
    SerialPort& Port()
    {
        return port_;
    }

private:
    ModuleLink& link_;
    SerialPort& port_;
    char line_[Isp::ReplyMax + 1] = {};
};

} // namespace

std::array<char, 4> UuEncodeGroup(const std::uint8_t* bytes, int count)
{
    const unsigned b0 = count > 0 ? bytes[0] : 0;
    const unsigned b1 = count > 1 ? bytes[1] : 0;
    const unsigned b2 = count > 2 ? bytes[2] : 0;
    return {UuChar(b0 >> 2), UuChar((b0 & 3) << 4 | b1 >> 4), UuChar((b1 & 15) << 2 | b2 >> 6),
            UuChar(b2 & 63)};
}

std::string UuEncodeLine(const std::uint8_t* bytes, int count)
{
    std::string line(1, static_cast<char>(count + 32));
    for (int i = 0; i < count; i += 3) {
        const auto group = UuEncodeGroup(bytes + i, std::min(3, count - i));
        line.append(group.begin(), group.end());
    }
    return line;
}

QString StageName(IspStage stage)
{
    switch (stage) {
    case IspStage::Connect:
        return QStringLiteral("Connect");
    case IspStage::Synchronize:
        return QStringLiteral("Synchronize");
    case IspStage::Unlock:
        return QStringLiteral("Unlock");
    case IspStage::Erase:
        return QStringLiteral("Erase");
    case IspStage::BlankCheck:
        return QStringLiteral("Blank Check");
    case IspStage::Program:
        return QStringLiteral("Program");
    case IspStage::Restart:
        break;
    }
    return QStringLiteral("Restart Module");
}

namespace {

IspOutcome Running(int thousandths)
{
    return {IspOutcome::Kind::Running, thousandths, {}};
}

// What the flash holds now, and what the user can do next.
QString NextSteps(const ProgrammingState& state, bool startIsp)
{
    if (!state.FlashErased) {
        if (startIsp)
            return QStringLiteral(
                "The module's firmware was not changed. Check that the module is switched on "
                "and connected to the selected port, then run the update again. If an earlier "
                "update stopped part way, the module waits in its boot loader: run the update "
                "again with Start ISP unticked.");
        return QStringLiteral(
            "The module's firmware was not changed. Check the port, the cable and the "
            "module's power. If the module runs its firmware (Connect finds it), run the "
            "update again with Start ISP ticked.");
    }
    if (state.IspState <= IspState::ProgramBlocks)
        return QStringLiteral(
            "The module's firmware is erased, so its boot loader starts by itself when the "
            "module is switched on: run the update again with Start ISP unticked.");
    return {};
}

// Every failure ends here: the stage turns red and the reason says where it
// stopped and what to do.
IspOutcome Fail(const ProgrammingState& state, IspReporter& reporter, IspStage stage,
                const QString& what, bool startIsp, const QString& detail = {})
{
    reporter.SetStage(stage, StageLook::Failed);
    QString reason = what;
    reason += QStringLiteral("\n\nThe update stopped at the %1 stage.").arg(StageName(stage));
    if (!detail.isEmpty())
        reason += QLatin1Char(' ') + detail;
    const QString next = NextSteps(state, startIsp);
    if (!next.isEmpty())
        reason += QLatin1Char(' ') + next;
    return {IspOutcome::Kind::Failed, 0, reason};
}

// The flash address of the next block. Block 0 goes last: an update cut
// short leaves sector 0 blank, the vector checksum fails, and the boot
// loader comes up by itself at the next power-up for another try.
int NextBlockAddress(const ProgrammingState& state)
{
    const int blocks = (state.ImageLength + Isp::BlockBytes - 1) / Isp::BlockBytes;
    return (state.BlocksDone + 1) % blocks * Isp::BlockBytes;
}

// The 12 lines of a block and its checksum, again while the boot loader
// answers RESEND. True when it answered OK.
bool SendBlockData(ProgrammingState& state, Exchange& x, QString& problem)
{
    const std::uint8_t* block =
        state.FirmwareImage.data() + static_cast<std::size_t>(state.FlashAddress);
    for (int attempt = 0;; ++attempt) {
        int checksum = 0;
        int offset = 0;
        for (int line = 0; line < Isp::BlockLines; ++line) {
            const int n = line < Isp::BlockLines - 1 ? Isp::UuLineBytes
                                                     : Isp::BlockBytes - 11 * Isp::UuLineBytes;
            for (int i = 0; i < n; ++i)
                checksum += block[offset + i];
            x.Send("%s\r", UuEncodeLine(block + offset, n).c_str());
            offset += n;
        }
        state.ReadOffset = state.FlashAddress + offset;
        x.Send("%d\r", checksum);
        if (x.Reply() > 0 && x.LineStarts("OK"))
            return true;
        if (!x.LineStarts("RESEND")) {
            problem = x.Line()[0]
                          ? QStringLiteral("The boot loader answered \"%1\" to its checksum.")
                                .arg(QString::fromLatin1(x.Line()))
                          : QStringLiteral("The boot loader stopped answering.");
            return false;
        }
        if (attempt == Isp::MaxResends) {
            problem = QStringLiteral("The boot loader asked for it again %1 times; the line "
                                     "may be noisy (check the cable).")
                          .arg(Isp::MaxResends + 1);
            return false;
        }
    }
}

IspOutcome ProgramBlock(ProgrammingState& state, Exchange& x, IspReporter& reporter, bool startIsp)
{
    const int address = NextBlockAddress(state);
    state.FlashAddress = address;
    const QString at = QStringLiteral("0x%1").arg(address, 4, 16, QLatin1Char('0'));

    x.Send("P 0 %d\r", state.EndSector);
    x.Reply();
    x.Send("W %u %d\r", Isp::RamBuffer, Isp::BlockBytes);
    x.Reply();
    QString problem;
    if (!SendBlockData(state, x, problem))
        return Fail(state, reporter, IspStage::Program,
                    QStringLiteral("The block at %1 did not reach the module.").arg(at), startIsp,
                    problem);

    state.Remaining = std::max(0, state.Remaining - Isp::BlockBytes);
    x.Send("C %d %u %d\r", address, Isp::RamBuffer, Isp::BlockBytes);
    if (x.Reply() > 0 && x.Line()[0] != '0')
        return Fail(state, reporter, IspStage::Program,
                    QStringLiteral("The flash at %1 could not be programmed (boot loader code %2).")
                        .arg(at, QString::fromLatin1(x.Line())),
                    startIsp);

    // The block counts only once the flash holds it. The bottom of flash
    // reads as the boot ROM while it runs; the restart checks block 0.
    if (address >= Isp::RemappedBytes) {
        x.Send("M %d %u %d\r", address, Isp::RamBuffer, Isp::BlockBytes);
        if (!x.Succeeded())
            return Fail(
                state, reporter, IspStage::Program, QString::fromLatin1(IspText::VerifyFailed),
                startIsp,
                QStringLiteral("The flash at %1 differs from the image after its copy.").arg(at));
        ++state.BlocksCompared;
    }

    ++state.BlocksDone;
    state.FlashAddress = NextBlockAddress(state);
    if (state.Remaining > 0) {
        const int done = (state.ImageLength - state.Remaining) * 1000 / state.ImageLength;
        return Running(std::min(done, 999));
    }
    reporter.SetStage(IspStage::Program, StageLook::Passed);
    reporter.SetStage(IspStage::Restart, StageLook::Shown);
    reporter.SetTickInterval(Isp::FastTickMs);
    state.IspState = IspState::RestartModule;
    return Running(999);
}

IspOutcome Restart(ProgrammingState& state, Exchange& x)
{
    x.Send("W %u %d\r", Isp::RamBuffer, static_cast<int>(Isp::RestartRoutine.size()));
    x.Reply();
    x.Send("%s\r", UuEncodeLine(Isp::RestartRoutine.data(), Isp::RestartRoutine.size()).c_str());
    x.Reply();
    x.Send("%d\r", RestartChecksum());
    x.Reply();
    x.Send("G %u T\r", Isp::RamBuffer);
    x.Reply();
    state.RestartedAtMs = x.Port().clock().NowMs();
    state.IspState = IspState::AwaitFirmware;
    return Running(999);
}

// One poll of the restarted module. Only its own firmware answers "SV"
// with the identity lines; that also proves block 0, which the boot loader
// cannot read back.
IspOutcome AwaitFirmware(ProgrammingState& state, Exchange& x, IspReporter& reporter, bool startIsp)
{
    ModuleIdentity id;
    if (x.Link().SendCommand(Cmd::SoftwareVersion) > 0 && ReadIdentityLines(x.Port(), id)) {
        reporter.SetStage(IspStage::Restart, StageLook::Passed);
        return {IspOutcome::Kind::Complete, 1000, {}};
    }
    if (x.Port().clock().NowMs() - state.RestartedAtMs < Isp::FirmwareAnswerMs)
        return Running(999);
    const QString verified =
        state.BlocksCompared > 0
            ? QStringLiteral("The flash was written and every block above address 511 "
                             "verified; block 0, which holds the vectors, can only be checked "
                             "by the module starting.")
            : QStringLiteral("The flash was written; this image lies within block 0, which the "
                             "boot loader cannot read back, so it could not be verified.");
    return Fail(state, reporter, IspStage::Restart,
                QStringLiteral("The module did not answer within %1 s of the restart.")
                    .arg(Isp::FirmwareAnswerMs / 1000),
                startIsp,
                verified + QStringLiteral(
                               " Switch the module off and on and press Connect. If it still does "
                               "not answer, the boot ROM did not accept the image's vector "
                               "checksum and keeps its boot loader on the line: run the update "
                               "again with Start ISP unticked."));
}

} // namespace

IspOutcome IspStep(ProgrammingState& state, ModuleLink& link, IspReporter& reporter, bool startIsp)
{
    Exchange x(link);
    SerialPort& port = x.Port();
    struct QuickDrain {
        SerialPort& port;
        ~QuickDrain() { port.SetQuickDrain(false); }
    } quick{port};
    port.SetQuickDrain(true);
    if (state.ImageLength <= 0 || state.ImageLength > CodeSpace)
        return Fail(state, reporter, IspStage::Connect,
                    QStringLiteral("No firmware image is loaded."), startIsp);
    port.DrainInput();

    switch (state.IspState) {
    case IspState::StartBootLoader:
        if (startIsp) {
            link.SendCommand(Cmd::EnterIsp);
            port.WaitForText("!", 1, Isp::ReplyMs);
        }
        state.IspState = IspState::Synchronize;
        reporter.SetStage(IspStage::Synchronize, StageLook::Shown);
        reporter.SetEraseSectors(state.EndSector);
        return Running(0);
    case IspState::Synchronize:
        port.Write("?", 1);
        if (!port.WaitForText("Synchronized\r", 13, Isp::ReplyMs))
            return Fail(state, reporter, IspStage::Synchronize,
                        QString::fromLatin1(IspText::NotResponding), startIsp);
        state.IspState = IspState::ConfirmSync;
        return Running(0);
    case IspState::ConfirmSync: {
        link.SendCommand("Synchronized\r\n");
        char ok[5];
        if (port.ReadCount(ok, 4, Isp::ReplyMs) != 4)
            return Fail(state, reporter, IspStage::Synchronize,
                        QString::fromLatin1(IspText::NotSynchronized), startIsp);
        state.IspState = IspState::SetFrequency;
        reporter.SetStage(IspStage::Synchronize, StageLook::Passed);
        return Running(1);
    }
    case IspState::SetFrequency:
        x.Send("%s\r", Isp::CrystalKhz);
        x.Reply();
        if (x.Line()[0] != 'O')
            return Fail(state, reporter, IspStage::Unlock,
                        QString::fromLatin1(IspText::FreqNotAcknowledged), startIsp);
        state.IspState = IspState::Unlock;
        reporter.SetStage(IspStage::Unlock, StageLook::Shown);
        return Running(2);
    case IspState::Unlock:
        x.Send("%s\r", Isp::UnlockCommand);
        if (!x.Succeeded())
            return Fail(state, reporter, IspStage::Unlock,
                        QString::fromLatin1(IspText::UnlockFailed), startIsp);
        state.IspState = IspState::ReadPartId;
        reporter.SetStage(IspStage::Erase, StageLook::Shown);
        reporter.SetStage(IspStage::Unlock, StageLook::Passed);
        return Running(3);
    case IspState::ReadPartId: {
        x.Send("J\r\n");
        x.Reply();
        if (x.Reply() == 0)
            return Fail(state, reporter, IspStage::Erase,
                        QStringLiteral("The part did not tell its identification."), startIsp);
        const bool known = std::any_of(Isp::PartIds.begin(), Isp::PartIds.end(),
                                       [&](const char* id) { return x.LineStarts(id); });
        if (!known)
            return Fail(state, reporter, IspStage::Erase,
                        QString::fromLatin1(IspText::InvalidPartId), startIsp,
                        QStringLiteral("The part answered %1, which this firmware is not for.")
                            .arg(QString::fromLatin1(x.Line())));
        state.IspState = IspState::PrepareSectors;
        return Running(3);
    }
    case IspState::PrepareSectors:
        x.Send("P 0 %d\r", state.EndSector);
        if (!x.Succeeded())
            return Fail(state, reporter, IspStage::Erase,
                        QString::fromLatin1(IspText::FailedPrepErase), startIsp);
        state.IspState = IspState::EraseSectors;
        return Running(3);
    case IspState::EraseSectors:
        x.Send("E 0 %d\r", state.EndSector);
        state.FlashErased = true;
        if (!x.Succeeded())
            return Fail(state, reporter, IspStage::Erase, QString::fromLatin1(IspText::FailedErase),
                        startIsp);
        state.IspState = IspState::BlankCheck;
        reporter.SetStage(IspStage::BlankCheck, StageLook::Shown);
        reporter.SetStage(IspStage::Erase, StageLook::Passed);
        return Running(3);
    case IspState::BlankCheck:
        x.Send("I 0 %d\r", state.EndSector);
        if (!x.Succeeded())
            return Fail(state, reporter, IspStage::BlankCheck,
                        QString::fromLatin1(IspText::FailedBlankCheck), startIsp);
        state.IspState = IspState::ProgramBlocks;
        state.BlocksDone = 0;
        state.FlashAddress = NextBlockAddress(state);
        reporter.SetStage(IspStage::Program, StageLook::Shown);
        reporter.SetTickInterval(Isp::FastTickMs);
        reporter.SetStage(IspStage::BlankCheck, StageLook::Passed);
        return Running(3);
    case IspState::ProgramBlocks:
        return ProgramBlock(state, x, reporter, startIsp);
    case IspState::RestartModule:
        return Restart(state, x);
    case IspState::AwaitFirmware:
        return AwaitFirmware(state, x, reporter, startIsp);
    }
    return Fail(state, reporter, IspStage::Connect, QStringLiteral("The update cannot go on."),
                startIsp);
}

} // namespace vexa
