// The libFuzzer entry of one target, chosen when it is built (KT480_FUZZ_TARGET).
#include "FuzzTargets.h"

#include <cstdint>
#include <cstring>

namespace {

const Fuzz::Target &Chosen()
{
    for (const Fuzz::Target &target : Fuzz::Targets()) {
        if (std::strcmp(target.name, KT480_FUZZ_TARGET) == 0)
            return target;
    }
    Fuzz::Broken("a target named " KT480_FUZZ_TARGET " exists", __FILE__, __LINE__);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const Fuzz::Target &target = Chosen();
    target.run(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
