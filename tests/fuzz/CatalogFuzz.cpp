#include "Catalog.h"
#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>

using pendra::Catalog;
using pendra::Charm;

// Any catalog text either fails or gives charms that encode and decode back to
// themselves, grouped into sets that hold every charm exactly once.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const std::optional<QList<Charm>> charms = Catalog::decode(bytes, &error);
    if (!charms) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    for (const Charm& charm : *charms) {
        const std::optional<Charm> back = Charm::decode(charm.encode());
        FUZZ_CHECK(back.has_value());
        FUZZ_CHECK(*back == charm);
    }
    const Catalog catalog(*charms, QStringLiteral("/charms"));
    qsizetype grouped = 0;
    for (const pendra::CharmSet& set : catalog.sets()) {
        FUZZ_CHECK(!set.charms.isEmpty());
        for (const Charm& charm : set.charms)
            FUZZ_CHECK(charm.set == set.id);
        grouped += set.charms.size();
    }
    FUZZ_CHECK(grouped == charms->size());
    for (const Charm& charm : *charms)
        FUZZ_CHECK(catalog.charm(charm.id).has_value());
    return 0;
}
