#include "SoundRequests.h"

#include <utility>

namespace pendra {

void SoundRequests::post(Request request)
{
    {
        std::lock_guard lock(m_mutex);
        m_pending = request;
    }
    m_wake.notify_one();
}

std::optional<SoundRequests::Request> SoundRequests::take()
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [&] { return m_closed || m_pending.has_value(); });
    if (m_closed)
        return std::nullopt;
    return std::exchange(m_pending, std::nullopt);
}

void SoundRequests::close()
{
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_wake.notify_one();
}

} // namespace pendra
