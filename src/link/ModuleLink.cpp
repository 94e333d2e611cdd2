#include "ModuleLink.h"

#include <cstdio>

namespace vexa {

namespace {
// Writes a formatted command; a text longer than the buffer is cut, never overrun.
template <typename... Args> void WriteCommand(SerialPort& port, const char* format, Args... args)
{
    char text[LineMax + 2];
    int n = std::snprintf(text, sizeof text, format, args...);
    if (n < 0)
        return;
    if (n >= static_cast<int>(sizeof text))
        n = static_cast<int>(sizeof text) - 1;
    port.Write(text, n);
}
} // namespace

int ModuleLink::SendCommand(const char* name)
{
    port_.DrainInput();
    WriteCommand(port_, "%s%c", name, 13);
    return port_.ReadLine(line_, LineMax, ReplyTimeoutMs);
}

int ModuleLink::SetValue(const char* name, int value)
{
    port_.DrainInput();
    WriteCommand(port_, "%s=%d%c", name, value, 13);
    return port_.ReadLine(line_, LineMax, ReplyTimeoutMs);
}

int ModuleLink::GetValue(const char* name, bool* arrived)
{
    port_.DrainInput();
    WriteCommand(port_, "%s%c", name, 13);
    port_.ReadLine(line_, LineMax, ReplyTimeoutMs);
    const int got = port_.ReadLine(line_, LineMax, ReplyTimeoutMs);
    if (arrived)
        *arrived = got > 0;
    return LeadingInt(line_);
}

} // namespace vexa
