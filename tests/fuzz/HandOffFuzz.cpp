#include "FuzzCheck.h"
#include "HandOffMessage.h"

#include <cstddef>
#include <cstdint>

// The input is what a later start, or anyone who can reach the socket, sends
// the running program. A line it takes must say only what a well-behaved
// start would have sent, and a token it takes must go out again unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray line(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QByteArray> token = pendra::HandOffMessage::studioToken(line);
    if (!token)
        return 0;
    FUZZ_CHECK(pendra::HandOffMessage::openStudio(*token) == line);
    FUZZ_CHECK(!token->contains('\n') && !token->contains(' ') && !token->contains('\0'));
    return 0;
}
