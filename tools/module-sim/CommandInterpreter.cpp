#include "CommandInterpreter.h"

#include <cctype>
#include <climits>

namespace vexa::sim {

namespace {

// The module reads numbers the way atoi does: blanks, a sign, digits.
long long LeadingNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        if (value < LLONG_MAX / 10)
            value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

bool StartsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

} // namespace

std::string WireBytes(const std::vector<OutLine>& lines)
{
    std::string bytes;
    for (const OutLine& l : lines) {
        bytes += l.text;
        if (l.kind != LineKind::Raw)
            bytes += "\r\n";
    }
    return bytes;
}

void CommandInterpreter::Start(std::int64_t nowMs)
{
    model_.Reset();
    line_.clear();
    busyUntil_ = nowMs + resetMs_;
}

std::size_t CommandInterpreter::Feed(std::string_view in, std::int64_t nowMs, Reply& reply)
{
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (Busy(nowMs))
            return in.size(); // a rebooting module hears nothing
        const char c = in[i];
        if (c == '*') {
            // Reset takes effect on the byte, mid-line or mid-transfer alike.
            reply.lines.clear();
            reply.cutOutput = true;
            Start(nowMs);
            continue;
        }
        if (c == '!' && line_.empty()) {
            reply.lines.push_back({LineKind::Ack, "!"});
            reply.lines.push_back({LineKind::Raw, "!"});
            reply.handover = Handover::BootLoader;
            return i + 1;
        }
        if (c == '\r' || c == '\n') {
            // A terminal's CR LF leaves an empty line behind; it means nothing.
            if (!line_.empty())
                Execute(line_, reply);
            line_.clear();
            continue;
        }
        if (line_.size() < MaxCommand)
            line_ += c;
    }
    return in.size();
}

void CommandInterpreter::Execute(const std::string& command, Reply& reply)
{
    auto ack = [&] { reply.lines.push_back({LineKind::Ack, command}); };
    auto say = [&](std::string text) { reply.lines.push_back({LineKind::Reply, std::move(text)}); };

    // Calibration lines carry their number after a space, not "=".
    if (command == "CalClr") {
        ack();
        model_.ClearCalibration();
        return;
    }
    if (StartsWith(command, "CalSet") && command.size() > 6 && command[6] == ' ') {
        ack();
        model_.Calibrate(static_cast<int>(LeadingNumber(std::string_view(command).substr(7))));
        return;
    }

    const std::size_t eq = command.find('=');
    const std::string_view name = std::string_view(command).substr(0, eq);
    const bool hasValue = eq != std::string::npos;
    const long long value = hasValue ? LeadingNumber(std::string_view(command).substr(eq + 1)) : 0;

    if (const auto reg = FindReg(name)) {
        ack();
        if (hasValue)
            model_.Set(*reg, value);
        else
            say(std::to_string(model_.Get(*reg)));
        return;
    }
    if (name == "SV") {
        ack();
        const Identity& id = model_.identity();
        say(id.deviceName);
        say(id.model);
        say(id.softwareVersion);
        say(id.softwareDate);
    } else if (name == "NS") {
        ack();
        say(std::to_string(model_.SetCount()));
    } else if (name == "CW") {
        ack();
        model_.Commit();
    } else if (name == "CR") {
        ack();
        model_.RestoreDefaults();
    } else if (name == "EA") {
        ack();
        if (hasValue && value == 1) // anything else must not wipe the memory
            model_.EraseAll();
    } else if (name == "ES") {
        ack();
        // The value is one less than the set's index: "ES=-1" erases the first set.
        if (hasValue && value >= -1 && value < INT_MAX - 1)
            model_.EraseSet(static_cast<int>(value) + 1);
    } else if (name == "DL") {
        ack();
        if (!hasValue || value < 0 || value >= model_.SetCount())
            return; // no such set: no header, the program reports it corrupted
        const int k = static_cast<int>(value);
        const std::vector<std::string> lines = DownloadLines(model_.SetAt(k), k);
        reply.lines.reserve(reply.lines.size() + lines.size());
        reply.lines.push_back({LineKind::DownloadHeader, lines.front()});
        for (std::size_t i = 1; i < lines.size(); ++i)
            reply.lines.push_back({LineKind::DownloadRecord, lines[i]});
    } else {
        reply.lines.push_back(
            {LineKind::Ack, "ERR " + command}); // the only line: it stands as the acknowledgement
    }
}

void ModuleSession::PowerUp(std::int64_t nowMs, bool forceBootLoader)
{
    if (bootLoader_ && (forceBootLoader || bootLoader_->TakesLineAtPowerUp()))
        active_ = bootLoader_.get();
    else
        active_ = &firmware_;
    active_->Start(nowMs);
}

Reply ModuleSession::Feed(std::string_view in, std::int64_t nowMs)
{
    Reply reply;
    Handover last = Handover::None;
    std::size_t pos = 0;
    do {
        reply.handover = Handover::None;
        pos += active_->Feed(in.substr(pos), nowMs, reply);
        if (reply.handover != Handover::None)
            last = reply.handover;
        if (reply.handover == Handover::BootLoader && bootLoader_) {
            active_ = bootLoader_.get();
            active_->Start(nowMs);
        } else if (reply.handover == Handover::Firmware && active_ != &firmware_) {
            active_ = &firmware_;
            firmware_.Start(nowMs);
        } else if (reply.handover == Handover::None) {
            break; // a responder that keeps the line uses all of its input
        }
    } while (pos < in.size());
    reply.handover = last;
    return reply;
}

} // namespace vexa::sim
