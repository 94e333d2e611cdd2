#pragma once

namespace vexa {

// Makes the program's icon and pictures (:/vexa/...) available; safe to
// call more than once.
void InitAppResources();

} // namespace vexa
