#include "QtSerialDevice.h"

#include <QFileInfo>

namespace vexa {

QtSerialDevice::QtSerialDevice()
{
    // A device that is gone: the driver says so (ResourceError), or a line
    // that polled readable reads nothing, as a hung-up terminal does
    // (ReadError). Neither comes back until the line is opened again.
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError error) {
                         const bool gone =
                             error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
                         if (gone && port_.isOpen())
                             ReportLost();
                     });
}

bool QtSerialDevice::Open(const QString& path)
{
    if (port_.isOpen())
        port_.close();
    errorText_.clear();
    port_.setPortName(path);
    if (!port_.open(QIODevice::ReadWrite)) {
        errorText_ = port_.errorString();
#if !defined(Q_OS_WIN)
        const QFileInfo device(path);
        if (port_.error() == QSerialPort::PermissionError && device.exists() &&
            !device.isWritable())
            errorText_ +=
                QStringLiteral(
                    " - your user may not use serial ports yet: add it to the group that owns %1 "
                    "(usually \"dialout\") and log in again.")
                    .arg(device.canonicalFilePath());
#endif
        port_.clearError();
        return false;
    }
    return true;
}

bool QtSerialDevice::Close()
{
    if (!port_.isOpen())
        return false;
    port_.close();
    return true;
}

bool QtSerialDevice::Configure(const LineSettings& s)
{
    if (!port_.isOpen())
        return false;
    bool ok = port_.setBaudRate(static_cast<qint32>(s.baud));
    ok = port_.setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits)) && ok;
    const auto parity = s.parity == Parity::Even  ? QSerialPort::EvenParity
                        : s.parity == Parity::Odd ? QSerialPort::OddParity
                                                  : QSerialPort::NoParity;
    ok = port_.setParity(parity) && ok;
    ok = port_.setStopBits(s.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) && ok;
    ok = port_.setFlowControl(QSerialPort::NoFlowControl) && ok;
    // With hardware flow control off, RTS is ours to set; "enabled" keeps it raised.
    port_.setRequestToSend(s.rtsControl);
    port_.clearError();
    return ok;
}

bool QtSerialDevice::SetTimeouts(int readMsPerByte, int writeMsPerByte)
{
    readMsPerByte_ = readMsPerByte;
    writeMsPerByte_ = writeMsPerByte;
    return true;
}

bool QtSerialDevice::SetDtr(bool on)
{
    if (!port_.isOpen())
        return false;
    // Pseudo-terminals have no modem lines; the failure is harmless.
    const bool ok = port_.setDataTerminalReady(on);
    port_.clearError();
    return ok;
}

int QtSerialDevice::Write(const char* data, int n)
{
    if (!port_.isOpen() || n <= 0)
        return 0;
    const qint64 written = port_.write(data, n);
    if (written <= 0) {
        port_.clearError();
        return 0;
    }
    while (port_.bytesToWrite() > 0) {
        if (!port_.waitForBytesWritten(writeMsPerByte_ * n + 100))
            break;
    }
    port_.clearError();
    return static_cast<int>(written);
}

int QtSerialDevice::Read(char* buf, int n)
{
    return ReadWithin(buf, n, readMsPerByte_ * n);
}

int QtSerialDevice::ReadWaiting(char* buf, int n)
{
    return ReadWithin(buf, n, 0);
}

int QtSerialDevice::ReadWithin(char* buf, int n, int waitMs)
{
    if (!port_.isOpen() || n <= 0)
        return 0;
    if (port_.bytesAvailable() == 0 && !port_.waitForReadyRead(waitMs)) {
        port_.clearError();
        return 0;
    }
    const qint64 got = port_.read(buf, n);
    if (got < 0) {
        port_.clearError();
        return 0;
    }
    return static_cast<int>(got);
}

} // namespace vexa
