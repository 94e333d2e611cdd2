#pragma once

#include <QString>

namespace vexa {

// The main window's side of a firmware update: its link state and port list.
class UpdateHost {
public:
    virtual ~UpdateHost() = default;
    virtual bool LinkConnected() const = 0;
    // Closes the main window's link and shows it as not connected.
    virtual void CloseLink() = 0;
    // The port chosen in the main window's port list; empty when none is.
    virtual QString SelectedPortName() const = 0;
    // The update opened the port: the link shows as connected.
    virtual void LinkOpened() = 0;
    // The update ended and closed the port: the link is off again; the
    // status display keeps what it says.
    virtual void LinkReleased() = 0;
};

} // namespace vexa
