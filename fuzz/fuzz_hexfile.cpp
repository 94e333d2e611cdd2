// Any bytes as a firmware file: the loader refuses or loads, and never
// writes outside the image.
#include "firmware/HexImage.h"

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto state = std::make_unique<vexa::ProgrammingState>();
    (void)vexa::LoadHexText(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
        *state);
    return 0;
}
