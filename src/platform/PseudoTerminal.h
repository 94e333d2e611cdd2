#pragma once

#include <QString>

namespace vexa {

// The controller side of a pseudo-terminal: a serial line that a program
// opens by path while we play the device on the other end. POSIX only.
class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Creates the pair in raw mode (no echo, no CR/LF translation). The
    // device side stays open here too, so the line survives its users
    // opening and closing it.
    bool Open();
    void Close();
    bool IsOpen() const { return controller_ >= 0; }
    // The path a program opens, such as /dev/pts/3.
    QString DevicePath() const { return path_; }

    // Waits up to timeoutMs for input; returns the bytes read, 0 on silence.
    int Read(char* buf, int n, int timeoutMs);
    // Writes all n bytes; returns n, or fewer when the line fails.
    int Write(const char* data, int n);
    // Throws away whatever the device side has sent and not yet been read.
    void DiscardInput();

private:
    int controller_ = -1;
    int device_ = -1;
    QString path_;
};

// Publishes path as a link named name in the emulator port folder, so the
// program's port list shows it. Returns the link's path, empty on failure.
QString PublishEmulatorPort(const QString& path, const QString& name);
void UnpublishEmulatorPort(const QString& linkPath);

} // namespace vexa
