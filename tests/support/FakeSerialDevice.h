#pragma once

#include "VirtualClock.h"
#include "platform/SerialDevice.h"

#include <QByteArray>
#include <QStringList>
#include <deque>
#include <functional>
#include <map>
#include <vector>

namespace vexa::test {

// A scripted serial line in virtual time. Bytes are queued with an arrival
// time; replies can be triggered by what the program writes. A read that
// finds nothing waits (advances the clock) the way a real port's read
// time-out would.
class FakeSerialDevice final : public SerialDevice {
public:
    struct Sent {
        std::int64_t atMs;
        QByteArray bytes;
    };

    explicit FakeSerialDevice(VirtualClock& clock) : clock_(clock) {}

    // Script
    void Queue(const QByteArray& bytes, std::int64_t delayMs = 0);
    // When the written stream ends with trigger, queue reply after delayMs.
    void ReplyTo(const QByteArray& trigger, const QByteArray& reply, std::int64_t delayMs = 0);
    // Called with everything written so far after each write.
    void OnWrite(std::function<void(FakeSerialDevice&, const QByteArray&)> hook);
    void FailOpen(const QString& reason) { failReason_ = reason; }
    // Only this path fails to open (a port held by another program).
    void FailOpenFor(const QString& path, const QString& reason) { failPaths_[path] = reason; }
    QStringList OpenAttempts() const { return openAttempts_; }
    void RefuseSettings() { refuseSettings_ = true; }
    // The device goes away while open: reported as lost, nothing passes any more.
    void Unplug()
    {
        unplugged_ = true;
        ReportLost();
    }
    // Called with the path on every open attempt, before it succeeds or fails.
    void OnOpen(std::function<void(const QString&)> hook) { openHook_ = std::move(hook); }

    // Inspection
    QByteArray Written() const;
    const std::vector<Sent>& Writes() const { return writes_; }
    int Pending() const { return static_cast<int>(incoming_.size()); }
    bool Dtr() const { return dtr_; }
    const LineSettings& Settings() const { return settings_; }
    int ConfigureCalls() const { return configureCalls_; }
    QString OpenedPath() const { return openedPath_; }
    void ClearWrites() { writes_.clear(); }

    // SerialDevice
    bool Open(const QString& path) override;
    QString ErrorText() const override { return errorText_; }
    bool IsOpen() const override { return open_; }
    bool Close() override;
    bool Configure(const LineSettings& settings) override;
    bool SetTimeouts(int readMsPerByte, int writeMsPerByte) override;
    bool SetDtr(bool on) override;
    int Write(const char* data, int n) override;
    int Read(char* buf, int n) override;

private:
    struct Rule {
        QByteArray trigger;
        QByteArray reply;
        std::int64_t delayMs;
    };
    struct Byte {
        std::int64_t atMs;
        char value;
    };

    VirtualClock& clock_;
    std::deque<Byte> incoming_;
    std::vector<Rule> rules_;
    std::function<void(FakeSerialDevice&, const QByteArray&)> hook_;
    std::function<void(const QString&)> openHook_;
    std::vector<Sent> writes_;
    QByteArray stream_;
    LineSettings settings_;
    QString failReason_;
    std::map<QString, QString> failPaths_;
    QStringList openAttempts_;
    QString errorText_;
    QString openedPath_;
    int readMsPerByte_ = 20;
    int configureCalls_ = 0;
    bool refuseSettings_ = false;
    bool unplugged_ = false;
    bool open_ = false;
    bool dtr_ = false;
};

} // namespace vexa::test
