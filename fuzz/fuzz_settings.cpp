// Arbitrary bytes as the settings file. Whatever reads must keep the
// failure rule, and what was read must survive a save and a second read.
#include "app/Settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vexa;

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_settings";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static QTemporaryDir dir;
    static int run = 0;

    // A fresh name each run: the settings file cache goes by name, size and time.
    const QString path = dir.filePath(QStringLiteral("in%1.ini").arg(run));
    const QString copy = dir.filePath(QStringLiteral("out%1.ini").arg(run++));
    {
        QFile file(path);
        Check(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    AppSettings values;
    const int read = ReadSettings(*OpenSettingsStore(path), values);
    Check(read >= 0 && read <= SettingsValueCount);
    Check(std::isfinite(values.PrtWidth) && std::isfinite(values.PrtHeight));
    if (read < SettingsValueCount)
        Check(values.BaudRate == AppSettings{}.BaudRate &&
              values.Interval == AppSettings{}.Interval);

    Check(WriteSettings(*OpenSettingsStore(copy), values));
    AppSettings again;
    Check(ReadSettings(*OpenSettingsStore(copy), again) == SettingsValueCount);
    Check(again == values);
    QFile::remove(path);
    QFile::remove(copy);
    return 0;
}
