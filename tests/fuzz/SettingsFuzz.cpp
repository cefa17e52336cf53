#include "FuzzCheck.h"
#include "Preferences.h"

#include <cstddef>
#include <cstdint>

using pendra::Preferences;

// Any stored record either fails to decode or decodes within bounds, and what
// it decodes to survives being written and read again unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<Preferences> prefs = Preferences::decode(bytes);
    if (!prefs)
        return 0;
    FUZZ_CHECK(prefs->scale >= Preferences::minScale && prefs->scale <= Preferences::maxScale);
    for (const pendra::Hung& h : prefs->hung) {
        FUZZ_CHECK(h.x >= Preferences::minX && h.x <= Preferences::maxX);
        FUZZ_CHECK(h.drop >= Preferences::minDrop && h.drop <= Preferences::maxDrop);
    }
    const std::optional<Preferences> again = Preferences::decode(prefs->encode());
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(*again == *prefs);
    return 0;
}
