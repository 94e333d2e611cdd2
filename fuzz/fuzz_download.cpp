// Arbitrary bytes as a module's answer to "DL": the set must stay within
// its capacity and hold only values that arrived.
#include "LinkRig.h"
#include "data/Download.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vexa;
using namespace vexa::test;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    LinkRig rig;
    DataSetStore store;
    rig.device.ReplyTo("DL=0\r",
                       "DL\r\n" + QByteArray(reinterpret_cast<const char*>(data), int(size)));

    const SetDownloadResult result = DownloadSet(rig.link, store, 0, QDate(2026, 1, 1), {});
    if (result.created) {
        const DataSetRecord& set = store.Set(0);
        if (set.samples.Count() < 0 || set.samples.Count() > MaxDownloadSamples ||
            set.triggers->samples.Count() > set.samples.Count())
            std::abort();
    }
    return 0;
}
