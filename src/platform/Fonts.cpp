#include "Fonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <array>

namespace vexa {

namespace {

struct StandIns {
    const char* family;
    std::array<const char*, 3> faces;
};

// In order of preference after the face itself.
constexpr StandIns Table[] = {
    {"Arial", {"Liberation Sans", "Arimo", nullptr}},
    {"Courier New", {"Liberation Mono", "Cousine", nullptr}},
    {"Times New Roman", {"Liberation Serif", "Tinos", nullptr}},
    {"MS Sans Serif", {"Microsoft Sans Serif", "Liberation Sans", "Arimo"}},
    {"Tahoma", {"Liberation Sans", "DejaVu Sans", nullptr}},
};

} // namespace

QString ResolveFamily(const QString& family)
{
    if (QFontDatabase::hasFamily(family))
        return family;
    for (const StandIns& entry : Table) {
        if (family.compare(QLatin1String(entry.family), Qt::CaseInsensitive) != 0)
            continue;
        for (const char* face : entry.faces)
            if (face && QFontDatabase::hasFamily(QLatin1String(face)))
                return QLatin1String(face);
    }
    return family;
}

} // namespace vexa
