#pragma once

#include "SerialDevice.h"

#include <QSerialPort>

namespace vexa {

// SerialDevice over QSerialPort: a COM port, a tty or a pseudo-terminal.
class QtSerialDevice final : public SerialDevice {
public:
    QtSerialDevice();

    bool Open(const QString& path) override;
    QString ErrorText() const override { return errorText_; }
    bool IsOpen() const override { return port_.isOpen(); }
    bool Close() override;

    bool Configure(const LineSettings& settings) override;
    bool SetTimeouts(int readMsPerByte, int writeMsPerByte) override;
    bool SetDtr(bool on) override;

    int Write(const char* data, int n) override;
    int Read(char* buf, int n) override;
    int ReadWaiting(char* buf, int n) override;

private:
    int ReadWithin(char* buf, int n, int waitMs);

    QSerialPort port_;
    QString errorText_;
    int readMsPerByte_ = 20;
    int writeMsPerByte_ = 20;
};

} // namespace vexa
