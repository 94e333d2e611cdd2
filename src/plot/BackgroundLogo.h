#pragma once

#include <QImage>

namespace vexa {

// The faint picture stretched under the plot when the background is shown.
QImage BackgroundLogo();

} // namespace vexa
