#include "FakeSerialDevice.h"

#include <algorithm>

namespace vexa::test {

void FakeSerialDevice::Queue(const QByteArray& bytes, std::int64_t delayMs)
{
    std::int64_t at = clock_.NowMs() + delayMs;
    if (!incoming_.empty())
        at = std::max(at, incoming_.back().atMs);
    for (char c : bytes)
        incoming_.push_back({at, c});
}

void FakeSerialDevice::ReplyTo(const QByteArray& trigger, const QByteArray& reply,
                               std::int64_t delayMs)
{
    rules_.push_back({trigger, reply, delayMs});
}

void FakeSerialDevice::OnWrite(std::function<void(FakeSerialDevice&, const QByteArray&)> hook)
{
    hook_ = std::move(hook);
}

QByteArray FakeSerialDevice::Written() const
{
    QByteArray all;
    for (const auto& w : writes_)
        all += w.bytes;
    return all;
}

bool FakeSerialDevice::Open(const QString& path)
{
    openAttempts_.append(path);
    unplugged_ = false;
    if (openHook_)
        openHook_(path);
    const auto failing = failPaths_.find(path);
    if (!failReason_.isEmpty() || failing != failPaths_.end()) {
        errorText_ = failing != failPaths_.end() ? failing->second : failReason_;
        return false;
    }
    open_ = true;
    openedPath_ = path;
    return true;
}

bool FakeSerialDevice::Close()
{
    const bool was = open_;
    open_ = false;
    dtr_ = false;
    return was;
}

bool FakeSerialDevice::Configure(const LineSettings& settings)
{
    ++configureCalls_;
    if (refuseSettings_)
        return false;
    settings_ = settings;
    return true;
}

bool FakeSerialDevice::SetTimeouts(int readMsPerByte, int)
{
    readMsPerByte_ = readMsPerByte;
    return !refuseSettings_;
}

bool FakeSerialDevice::SetDtr(bool on)
{
    if (refuseSettings_)
        return false;
    dtr_ = on;
    return true;
}

int FakeSerialDevice::Write(const char* data, int n)
{
    if (!open_ || unplugged_)
        return 0;
    const QByteArray bytes(data, n);
    writes_.push_back({clock_.NowMs(), bytes});
    stream_ += bytes;
    for (const Rule& r : rules_) {
        if (stream_.endsWith(r.trigger))
            Queue(r.reply, r.delayMs);
    }
    if (hook_)
        hook_(*this, stream_);
    return n;
}

int FakeSerialDevice::Read(char* buf, int n)
{
    if (!open_ || n <= 0)
        return 0;
    if (unplugged_) {
        clock_.AdvanceTo(clock_.NowMs() + static_cast<std::int64_t>(readMsPerByte_) * n);
        return 0;
    }
    const std::int64_t deadline = clock_.NowMs() + static_cast<std::int64_t>(readMsPerByte_) * n;
    if (incoming_.empty() || incoming_.front().atMs > clock_.NowMs()) {
        // Wait like a real read: until a byte arrives or the read time-out ends.
        if (incoming_.empty() || incoming_.front().atMs > deadline) {
            clock_.AdvanceTo(deadline);
            return 0;
        }
        clock_.AdvanceTo(incoming_.front().atMs);
    }
    int got = 0;
    while (got < n && !incoming_.empty() && incoming_.front().atMs <= clock_.NowMs()) {
        buf[got++] = incoming_.front().value;
        incoming_.pop_front();
    }
    return got;
}

} // namespace vexa::test
