#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace vexa {

enum class Parity { None, Even, Odd };

struct LineSettings {
    std::uint32_t baud = 115200;
    int dataBits = 8;
    Parity parity = Parity::None;
    int stopBits = 1;
    bool dtrControl = false;
    bool rtsControl = false;
};

// One serial line, opened exclusively. Reads wait at most the per-byte
// read time-out times the requested count, like a Windows COM port set up
// with a total multiplier; a read that finds nothing returns 0.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    virtual bool Open(const QString& path) = 0;
    // The system's reason for the last failed Open, in words for the user.
    virtual QString ErrorText() const = 0;
    virtual bool IsOpen() const = 0;
    virtual bool Close() = 0;

    // Driver settings: a failure leaves the line as the driver has it.
    virtual bool Configure(const LineSettings& settings) = 0;
    virtual bool SetTimeouts(int readMsPerByte, int writeMsPerByte) = 0;
    virtual bool SetDtr(bool on) = 0;

    virtual int Write(const char* data, int n) = 0;
    virtual int Read(char* buf, int n) = 0;
    // Up to n bytes that have already arrived, without waiting for more.
    virtual int ReadWaiting(char* buf, int n) { return Read(buf, n); }

    // Called when the open device goes away (unplugged, or its far end
    // ended), possibly from inside a read; the line stays open until closed.
    void OnLost(std::function<void()> handler) { lostHandler_ = std::move(handler); }

protected:
    void ReportLost() const
    {
        if (lostHandler_)
            lostHandler_();
    }

private:
    std::function<void()> lostHandler_;
};

using SerialDeviceFactory = std::function<std::unique_ptr<SerialDevice>()>;

} // namespace vexa
