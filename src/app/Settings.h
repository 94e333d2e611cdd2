#pragma once

#include "data/DataSetStore.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

class QSettings;

namespace vexa {

// The values kept between runs, as their holders have them during the run.
// Member initializers are the defaults used when the store cannot be read.
struct AppSettings {
    int ComPort = 0;
    int BaudRate = 5;
    int Left = 222;
    int Top = 148;
    bool SimulateTarget = false;
    bool ShowPoints = false;
    bool ShowInfo = true;
    bool ShowBackground = false;
    bool ShowAvgROC = false;
    bool RevTrig = false;
    bool Triggered = false;
    bool Sizeable = false;
    double PrtWidth = 7.0;
    double PrtHeight = 3.5;
    bool PrtColor = false;
    ColorRef BGColor = Rgb(255, 255, 255);
    ColorRef GridColor = Rgb(128, 128, 128);
    ColorRef ScaleColor = Rgb(0, 0, 0);
    ColorRef LabelColor = Rgb(0, 0, 0);
    ColorRef InfoColor = Rgb(255, 0, 0);
    int AutoStart = 0;
    int AutoStartSec = 10;
    int AutoStartAltitude = 20;
    int AutoStop = 0;
    int AutoStopSec = 60;
    int AutoStopAltitude = 15;
    int AutoZero = 0;
    int ExportType = 1; // 1 bitmap, 2 JPEG, 3 GIF, 4 PNG: the export dialog's filters
    std::uint16_t Interval = 100;

    bool operator==(const AppSettings&) const = default;
};

inline constexpr int SettingsValueCount = 29;

// The store: the per-user native one (an INI file under the user's
// configuration folder, the registry on Windows) when file is empty,
// otherwise an INI file at that path. Positioned in the "Settings" group.
std::unique_ptr<QSettings> OpenSettingsStore(const QString& file);

// Reads the values in order into values, which holds the run's current
// state. The first value that is missing or of another type stops the
// reading; the values read before it stay, and the port, speed, print size,
// colours and interval then get their defaults. Returns how many were read.
int ReadSettings(const QSettings& store, AppSettings& values);

// Replaces the stored values with a complete set and writes the store
// through to disk. False when the store could not be written.
bool WriteSettings(QSettings& store, const AppSettings& values);

// Where a window of size goes that was stored at topLeft: kept as it is
// when enough of it lies on one of screens to grab it, otherwise centred on
// primary (a monitor that was unplugged).
QPoint PlaceOnScreen(QPoint topLeft, QSize size, const QList<QRect>& screens, QRect primary);

// The port list position a first run selects: the first port on a USB bus
// or of an emulator, since the module hangs on one of those; else 0.
int PreferredPortPosition(const QStringList& enumerators);

} // namespace vexa
