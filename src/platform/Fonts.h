#pragma once

#include <QString>

namespace vexa {

// The drawing and the windows are laid out for Windows typefaces. Gives the
// face itself when installed, else its metric-compatible twin (the
// Liberation fonts on Linux), else the closest face there is; a name without
// known stand-ins is given back unchanged for the system to substitute.
// "Tahoma" has no twin; Liberation Sans is nearest in width.
QString ResolveFamily(const QString& family);

} // namespace vexa
