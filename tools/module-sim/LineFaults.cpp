#include "LineFaults.h"

#include "Rng.h"

#include <algorithm>

namespace vexa::sim {

FaultInjector::FaultInjector(const FaultOptions& options)
    : o_(options), rngState_(MixSeed(options.seed, 0xFA17))
{
}

std::string FaultInjector::GarbageLine()
{
    // Line noise that holds no digit, so it never passes for a number.
    static constexpr std::string_view Chars =
        "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghjkmnpqrstuvwxyz!\"#$%&'()*/:;<>?@[]^_{|}~";
    Rng rng(rngState_);
    rngState_ = rng.Next();
    std::string line(static_cast<std::size_t>(4 + rng.Below(21)), ' ');
    for (char& c : line)
        c = Chars[static_cast<std::size_t>(rng.Below(static_cast<int>(Chars.size())))];
    return line;
}

std::string FaultInjector::Render(const std::vector<OutLine>& lines)
{
    std::string bytes;
    for (const OutLine& l : lines) {
        if (silent_ || unplugged_)
            break;
        if (l.kind == LineKind::Raw) {
            bytes += l.text;
            continue;
        }
        if (l.kind == LineKind::DownloadHeader)
            downloadRecords_ = 0;
        if (l.kind == LineKind::DownloadRecord && o_.dropAfter >= 0 &&
            downloadRecords_++ == o_.dropAfter) {
            bytes += l.text.substr(0, (l.text.size() + 1) / 2);
            unplugged_ = true;
            quietSince_ = -1;
            break;
        }
        if (o_.silentAfter >= 0 && linesSent_ >= o_.silentAfter) {
            silent_ = true;
            break;
        }
        bytes += l.text;
        bytes += "\r\n";
        ++linesSent_;
        if (o_.garbageEvery > 0 && linesSent_ % o_.garbageEvery == 0) {
            bytes += GarbageLine();
            bytes += "\r\n";
        }
    }
    return bytes;
}

std::string_view FaultInjector::FilterInput(std::string_view in, std::int64_t nowMs,
                                            bool outputPending)
{
    if (!unplugged_)
        return in;
    if (outputPending) {
        quietSince_ = -1;
        return {};
    }
    if (quietSince_ < 0)
        quietSince_ = nowMs;
    if (nowMs - quietSince_ < o_.replugMs)
        return {};
    unplugged_ = false;
    return in;
}

void WirePacer::Queue(std::string_view bytes, std::int64_t nowUs)
{
    if (bytes.empty())
        return;
    if (!Pending()) {
        // An idle wire starts the schedule afresh.
        queue_.clear();
        head_ = 0;
        epochUs_ = nowUs;
        sentSinceEpoch_ = 0;
    } else if (head_ > (1u << 16) && head_ > queue_.size() / 2) {
        queue_.erase(0, head_);
        head_ = 0;
    }
    queue_.append(bytes);
}

std::int64_t WirePacer::DueAtUs(std::int64_t byteCount) const
{
    // A byte is on the far side once its stop bit has gone: 10 bits a byte.
    return epochUs_ + (byteCount * 10'000'000 + baud_ - 1) / baud_;
}

std::string_view WirePacer::Due(std::int64_t nowUs)
{
    if (!Pending())
        return {};
    const std::size_t left = PendingBytes();
    if (baud_ <= 0)
        return std::string_view(queue_).substr(head_, std::min(left, UnpacedChunk));

    if (nowUs - DueAtUs(sentSinceEpoch_) > MaxBacklogUs) {
        // We were held up (a stalled reader, a busy machine): shift the
        // schedule instead of bursting to catch up.
        const std::int64_t backlog = MaxBacklogUs * baud_ / 10'000'000;
        epochUs_ = nowUs - (sentSinceEpoch_ + backlog) * 10'000'000 / baud_;
    }
    const std::int64_t byNow = (nowUs - epochUs_) * baud_ / 10'000'000;
    const std::int64_t due =
        std::clamp<std::int64_t>(byNow - sentSinceEpoch_, 0, static_cast<std::int64_t>(left));
    return std::string_view(queue_).substr(head_, static_cast<std::size_t>(due));
}

void WirePacer::Sent(std::size_t n)
{
    n = std::min(n, PendingBytes());
    head_ += n;
    sentSinceEpoch_ += static_cast<std::int64_t>(n);
}

std::int64_t WirePacer::UsUntilDue(std::int64_t nowUs) const
{
    if (!Pending())
        return -1;
    if (baud_ <= 0)
        return 0;
    return std::max<std::int64_t>(0, DueAtUs(sentSinceEpoch_ + 1) - nowUs);
}

void WirePacer::Clear()
{
    queue_.clear();
    head_ = 0;
    sentSinceEpoch_ = 0;
}

} // namespace vexa::sim
