// Property lists arrive from disk: user defaults, the keychain file, Info.plist
// and string tables, any of which may be damaged.
#include "platform/foundation/PropertyList.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto value = platform::parsePropertyList({ reinterpret_cast<const char*>(data), size });
    if (value)
        (void)platform::serializePropertyList(*value);
    return 0;
}
