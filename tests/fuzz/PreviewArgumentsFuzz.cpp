#include "FuzzCheck.h"
#include "Preview.h"

#include <cstddef>
#include <cstdint>

namespace {

// A plain reading of "a decimal integer with an optional sign", kept apart from
// the program's own so the two can be compared.
std::optional<qint64> referenceInteger(const QByteArray& text)
{
    qsizetype at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    if (at == text.size())
        return std::nullopt;
    // Magnitudes up to 2^63, the most a negative 64-bit integer can hold.
    constexpr std::uint64_t limit = std::uint64_t(1) << 63;
    std::uint64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < '0' || text[at] > '9')
            return std::nullopt;
        const auto digit = std::uint64_t(text[at] - '0');
        if (magnitude > (limit - digit) / 10)
            return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    if (!negative)
        return magnitude < limit ? std::optional<qint64>(qint64(magnitude)) : std::nullopt;
    return magnitude == limit ? INT64_MIN : -qint64(magnitude);
}

} // namespace

// The input is a command line, its arguments separated by zero bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringList arguments;
    for (const QByteArray& argument : bytes.split('\0'))
        arguments << QString::fromUtf8(argument);

    for (const QString& argument : arguments) {
        const QByteArray utf8 = argument.toUtf8();
        FUZZ_CHECK(pendra::Preview::readInteger(argument) == referenceInteger(utf8));
    }

    const std::optional<pendra::Preview::Request> request = pendra::Preview::parse(arguments);
    const qsizetype at = arguments.indexOf(QStringLiteral("--preview"));
    FUZZ_CHECK(request.has_value() == (at >= 0 && at + 1 < arguments.size()));
    if (!request)
        return 0;
    FUZZ_CHECK(request->path == arguments[at + 1]);
    const auto dimension = [&](qsizetype index, qint64 fallback) {
        return index < arguments.size() ? referenceInteger(arguments[index].toUtf8()).value_or(fallback) : fallback;
    };
    FUZZ_CHECK(request->width == dimension(at + 2, 1400));
    FUZZ_CHECK(request->height == dimension(at + 3, 340));
    return 0;
}
