#include "FuzzCheck.h"
#include "XSettingsParser.h"

#include <cstddef>
#include <cstdint>

// Whatever another program publishes, reading it gives only the three kinds
// of value, and reading fewer of the bytes never gives more settings.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray blob(reinterpret_cast<const char*>(data), qsizetype(size));
    const QHash<QString, QVariant> values = pendra::XSettingsParser::parse(blob);
    for (const QVariant& value : values) {
        const int type = value.typeId();
        FUZZ_CHECK(type == QMetaType::Int || type == QMetaType::QString || type == QMetaType::QVariantList);
        if (type == QMetaType::QVariantList)
            FUZZ_CHECK(value.toList().size() == 4);
    }
    if (size > 0) {
        const QHash<QString, QVariant> fewer = pendra::XSettingsParser::parse(blob.chopped(1));
        FUZZ_CHECK(fewer.size() <= values.size());
    }
    return 0;
}
