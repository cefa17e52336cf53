#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>

namespace pendra {

// What a sound's worker thread is asked to do next. Only the latest request
// waits: a new one replaces it. So while the sound server keeps the worker
// blocked, clicks and stops do not pile up to be played in a burst later.
class SoundRequests {
public:
    enum class Request { stop, play };

    void post(Request request);
    // Waits for the next request; none once closed.
    std::optional<Request> take();
    void close();

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Request> m_pending;
    bool m_closed = false;
};

} // namespace pendra
