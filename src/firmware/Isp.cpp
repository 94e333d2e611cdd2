#include "Isp.h"

#include "link/ModuleLink.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace vexa {

namespace {

constexpr int ReplyMax = 80;
constexpr int IspReplyMs = 1000;
constexpr int UuLineBytes = 45;
constexpr int BlockLines = 12; // 11 lines of 45 bytes and one of 17

constexpr int RestartChecksum()
{
    int sum = 0;
    for (const std::uint8_t b : RestartRoutine)
        sum += b;
    return sum;
}
static_assert(RestartChecksum() == 1462);

char UuChar(unsigned value)
{
    return value == 0 ? '`' : static_cast<char>(value + 32);
}

// One engine step's exchanges on the link.
class Exchange {
public:
    Exchange(ModuleLink& link) : link_(link), port_(link.port()) {}

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
        return port_.ReadLine(line_, ReplyMax, IspReplyMs);
    }
    const char* Line() const
    {
        return line_;
    }
    // A reply line that arrived and begins with the return code 0.
    bool Succeeded()
    {
        return Reply() > 0 && line_[0] == '0';
    }
    SerialPort& Port()
    {
        return port_;
    }

private:
    ModuleLink& link_;
    SerialPort& port_;
    char line_[ReplyMax + 1] = {};
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

namespace {

int Finish(ProgrammingState& state, int progress)
{
    state.Progress = progress;
    return progress;
}

int Fail(ProgrammingState& state, IspReporter& reporter, IspStage stage, const char* message)
{
    reporter.SetStage(stage, StageLook::Failed);
    reporter.ShowError(QString::fromLatin1(message));
    return Finish(state, ProgressFailed);
}

// The flash address of the next block. Block 0 goes last: an update cut
// short leaves sector 0 blank, the vector checksum fails, and the boot
// loader comes up by itself at the next power-up for another try.
int NextBlockAddress(const ProgrammingState& state)
{
    const int blocks = (state.ImageLength + IspBlockSize - 1) / IspBlockSize;
    return (state.BlocksDone + 1) % blocks * IspBlockSize;
}

int ProgramBlock(ProgrammingState& state, Exchange& x, IspReporter& reporter)
{
    const int address = NextBlockAddress(state);
    state.FlashAddress = address;
    state.ReadOffset = address;

    x.Send("P 0 %d\r", state.EndSector);
    x.Reply();
    x.Send("W %u %d\r", IspRamBuffer, IspBlockSize);
    x.Reply();

    int checksum = 0;
    for (int line = 0; line < BlockLines; ++line) {
        const int n = line < BlockLines - 1 ? UuLineBytes : IspBlockSize - 11 * UuLineBytes;
        const std::uint8_t* bytes =
            state.FirmwareImage.data() + static_cast<std::size_t>(state.ReadOffset);
        for (int i = 0; i < n; ++i)
            checksum += bytes[i];
        state.ReadOffset += n;
        x.Send("%s\r", UuEncodeLine(bytes, n).c_str());
    }
    x.Send("%d\r", checksum);
    if (x.Reply() == 0 || std::strncmp(x.Line(), "OK", 2) != 0)
        return Finish(state, ProgressFailed);

    state.Remaining = std::max(0, state.Remaining - IspBlockSize);
    x.Send("C %d %u %d\r", address, IspRamBuffer, IspBlockSize);
    if (x.Reply() > 0 && x.Line()[0] != '0')
        return Finish(state, ProgressFailed);

    // The block counts only once the flash holds it. At address 0 the boot
    // loader may show its own vectors in the first 64 bytes while it runs.
    if (address == 0)
        x.Send("M 64 %u %d\r", IspRamBuffer + 64, IspBlockSize - 64);
    else
        x.Send("M %d %u %d\r", address, IspRamBuffer, IspBlockSize);
    if (!x.Succeeded())
        return Fail(state, reporter, IspStage::Program, IspText::VerifyFailed);

    ++state.BlocksDone;
    state.FlashAddress = NextBlockAddress(state);
    if (state.Remaining > 0) {
        const int done = (state.ImageLength - state.Remaining) * 1000 / state.ImageLength;
        return Finish(state, std::min(done, 999));
    }
    reporter.SetStage(IspStage::Program, StageLook::Passed);
    reporter.SetStage(IspStage::Restart, StageLook::Shown);
    reporter.SetTickInterval(IspFastTickMs);
    state.IspState = 10;
    return Finish(state, 999);
}

int Restart(ProgrammingState& state, Exchange& x, IspReporter& reporter)
{
    x.Send("W %u %d\r", IspRamBuffer, static_cast<int>(RestartRoutine.size()));
    x.Reply();
    x.Send("%s\r", UuEncodeLine(RestartRoutine.data(), RestartRoutine.size()).c_str());
    x.Reply();
    x.Send("%d\r", RestartChecksum());
    x.Reply();
    x.Send("G %u T\r", IspRamBuffer);
    x.Reply();
    reporter.SetStage(IspStage::Restart, StageLook::Passed);
    reporter.ProcessEvents();
    return Finish(state, ProgressDone);
}

} // namespace

int IspStep(ProgrammingState& state, ModuleLink& link, IspReporter& reporter, bool startIsp)
{
    Exchange x(link);
    SerialPort& port = x.Port();
    struct QuickDrain {
        SerialPort& port;
        ~QuickDrain() { port.SetQuickDrain(false); }
    } quick{port};
    port.SetQuickDrain(true);
    if (state.ImageLength <= 0 || state.ImageLength > CodeSpace)
        return Finish(state, ProgressFailed); // nothing loaded: nothing to program
    port.DrainInput();

    switch (state.IspState) {
    case 0:
        if (startIsp) {
            link.SendCommand("!");
            port.WaitForText("!", 1, IspReplyMs);
        }
        state.IspState = 1;
        reporter.SetStage(IspStage::Synchronize, StageLook::Shown);
        reporter.SetEraseCaption(QStringLiteral("Erase 0-%1\r").arg(state.EndSector));
        return Finish(state, 0);
    case 1:
        port.Write("?", 1);
        if (!port.WaitForText("Synchronized\r", 13, IspReplyMs))
            return Fail(state, reporter, IspStage::Synchronize, IspText::NotResponding);
        state.IspState = 2;
        return Finish(state, 0);
    case 2: {
        link.SendCommand("Synchronized\r\n");
        char ok[5];
        if (port.ReadCount(ok, 4, IspReplyMs) != 4)
            return Fail(state, reporter, IspStage::Synchronize, IspText::NotSynchronized);
        state.IspState = 3;
        reporter.SetStage(IspStage::Synchronize, StageLook::Passed);
        return Finish(state, 1);
    }
    case 3:
        x.Send("12000\r");
        x.Reply();
        if (x.Line()[0] != 'O')
            return Fail(state, reporter, IspStage::Unlock, IspText::FreqNotAcknowledged);
        state.IspState = 4;
        reporter.SetStage(IspStage::Unlock, StageLook::Shown);
        return Finish(state, 2);
    case 4:
        x.Send("U 23130\r");
        if (!x.Succeeded())
            return Fail(state, reporter, IspStage::Unlock, IspText::UnlockFailed);
        state.IspState = 5;
        reporter.SetStage(IspStage::Erase, StageLook::Shown);
        reporter.SetStage(IspStage::Unlock, StageLook::Passed);
        return Finish(state, 3);
    case 5:
        x.Send("J\r\n");
        x.Reply();
        if (x.Reply() == 0)
            return Finish(state, ProgressFailed);
        if (std::strncmp(x.Line(), "71569451", 8) != 0 &&
            std::strncmp(x.Line(), "624955435", 9) != 0)
            return Fail(state, reporter, IspStage::Erase, IspText::InvalidPartId);
        state.IspState = 6;
        return Finish(state, 3);
    case 6:
        x.Send("P 0 %d\r", state.EndSector);
        if (!x.Succeeded())
            return Fail(state, reporter, IspStage::Erase, IspText::FailedPrepErase);
        state.IspState = 7;
        return Finish(state, 3);
    case 7:
        x.Send("E 0 %d\r", state.EndSector);
        if (!x.Succeeded())
            return Fail(state, reporter, IspStage::Erase, IspText::FailedErase);
        state.IspState = 8;
        reporter.SetStage(IspStage::BlankCheck, StageLook::Shown);
        reporter.SetStage(IspStage::Erase, StageLook::Passed);
        return Finish(state, 3);
    case 8:
        x.Send("I 0 %d\r", state.EndSector);
        if (!x.Succeeded())
            return Fail(state, reporter, IspStage::BlankCheck, IspText::FailedBlankCheck);
        state.IspState = 9;
        state.BlocksDone = 0;
        state.FlashAddress = NextBlockAddress(state);
        reporter.SetStage(IspStage::Program, StageLook::Shown);
        reporter.SetTickInterval(IspFastTickMs);
        reporter.SetStage(IspStage::BlankCheck, StageLook::Passed);
        return Finish(state, 3);
    case 9:
        return ProgramBlock(state, x, reporter);
    case 10:
        return Restart(state, x, reporter);
    default:
        return Finish(state, ProgressFailed);
    }
}

} // namespace vexa
