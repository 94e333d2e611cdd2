// Arbitrary bytes as the published update list: every entry must come from
// the text, numbered in order, and a description never starts or ends blank.
#include "firmware/UpdateList.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vexa;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView text(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::vector<UpdateEntry> entries = ParseUpdateList(text);
    if (entries.empty() || entries.size() > size + 1)
        std::abort();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const UpdateEntry& e = entries[i];
        if (e.number != int(i) + 1 || e.module.contains(QLatin1Char(',')) ||
            e.version.contains(QLatin1Char(',')) || e.fileAddress.contains(QLatin1Char('\n')))
            std::abort();
        if (!e.description.isEmpty() &&
            (e.description.front() <= QLatin1Char(' ') || e.description.back() <= QLatin1Char(' ')))
            std::abort();
        if (DescriptionLines(e.description) < 1)
            std::abort();
        ImageAddress(e.fileAddress);
    }
    return 0;
}
