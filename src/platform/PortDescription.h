#pragma once

#include <QString>
#include <vector>

namespace vexa {

// What the system knows about one serial port, without opening it.
struct PortDescription {
    QString portName;     // the name to open: a bare device name or an absolute path
    QString friendlyName; // a readable name; the port name again when there is none
    QString enumerator;   // the bus the device was found on; may be empty
};

// A source of port descriptions, so discovery can be tested without hardware.
class PortSource {
public:
    virtual ~PortSource() = default;
    virtual std::vector<PortDescription> ListPorts() const = 0;
};

// The system's serial ports followed by the module emulators published
// in the per-user runtime folder.
class SystemPortSource final : public PortSource {
public:
    std::vector<PortDescription> ListPorts() const override;
};

// Serial ports the operating system reports, in its order.
std::vector<PortDescription> ListSystemSerialPorts();

// Emulator ports published as links in folder, sorted by name.
std::vector<PortDescription> ListEmulatorPorts(const QString& folder);

// The per-user folder where emulators publish their pseudo-terminals:
// $XDG_RUNTIME_DIR/vexa-ports, or a per-user folder under the temp dir.
QString EmulatorPortFolder();

inline constexpr const char* EmulatorFriendlyName = "Vexa module emulator";
inline constexpr const char* EmulatorEnumerator = "virtual";

} // namespace vexa
