#include "PseudoTerminal.h"

#include "PortDescription.h"

#include <QDir>
#include <QFile>

#if !defined(Q_OS_WIN)
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace vexa {

PseudoTerminal::~PseudoTerminal()
{
    Close();
}

#if !defined(Q_OS_WIN)

bool PseudoTerminal::Open()
{
    Close();
    controller_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (controller_ < 0)
        return false;
    if (::grantpt(controller_) != 0 || ::unlockpt(controller_) != 0) {
        Close();
        return false;
    }
    const char* name = ::ptsname(controller_);
    if (!name) {
        Close();
        return false;
    }
    path_ = QString::fromLocal8Bit(name);
    device_ = ::open(name, O_RDWR | O_NOCTTY);
    if (device_ < 0) {
        Close();
        return false;
    }
    termios t{};
    if (::tcgetattr(device_, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(device_, TCSANOW, &t);
    }
    ::fcntl(controller_, F_SETFL, ::fcntl(controller_, F_GETFL) | O_NONBLOCK);
    return true;
}

void PseudoTerminal::Close()
{
    if (device_ >= 0)
        ::close(device_);
    if (controller_ >= 0)
        ::close(controller_);
    device_ = controller_ = -1;
    path_.clear();
}

int PseudoTerminal::Read(char* buf, int n, int timeoutMs)
{
    if (controller_ < 0 || n <= 0)
        return 0;
    pollfd p{controller_, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&p, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0 || !(p.revents & POLLIN))
        return 0;
    const ssize_t got = ::read(controller_, buf, static_cast<size_t>(n));
    return got > 0 ? static_cast<int>(got) : 0;
}

int PseudoTerminal::Write(const char* data, int n)
{
    int done = 0;
    while (controller_ >= 0 && done < n) {
        const ssize_t put = ::write(controller_, data + done, static_cast<size_t>(n - done));
        if (put > 0) {
            done += static_cast<int>(put);
            continue;
        }
        if (put < 0 && errno != EAGAIN && errno != EINTR)
            break;
        pollfd p{controller_, POLLOUT, 0};
        if (::poll(&p, 1, 1000) <= 0)
            break; // nobody reads the line
    }
    return done;
}

void PseudoTerminal::DiscardInput()
{
    if (controller_ >= 0)
        ::tcflush(controller_, TCIFLUSH);
}

QString PublishEmulatorPort(const QString& path, const QString& name)
{
    const QString folder = EmulatorPortFolder();
    if (!QDir().mkpath(folder))
        return {};
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString link = QDir(folder).filePath(name);
    QFile::remove(link);
    if (::symlink(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()) != 0)
        return {};
    return link;
}

#else

bool PseudoTerminal::Open()
{
    return false;
}
void PseudoTerminal::Close() {}
int PseudoTerminal::Read(char*, int, int)
{
    return 0;
}
int PseudoTerminal::Write(const char*, int)
{
    return 0;
}
void PseudoTerminal::DiscardInput() {}
QString PublishEmulatorPort(const QString&, const QString&)
{
    return {};
}

#endif

void UnpublishEmulatorPort(const QString& linkPath)
{
    if (!linkPath.isEmpty())
        QFile::remove(linkPath);
}

} // namespace vexa
