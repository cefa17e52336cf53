#include "ParallelLoop.h"

#include <QSemaphore>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <memory>

namespace pendra {

void ParallelLoop::run(int count, const std::function<void(int)>& body)
{
    if (count <= 0)
        return;
    QThreadPool* pool = QThreadPool::globalInstance();
    const int helpers = pool ? std::min(count, pool->maxThreadCount()) - 1 : 0;
    if (helpers <= 0) {
        for (int i = 0; i < count; ++i)
            body(i);
        return;
    }
    // Workers that start late find nothing left and leave at once; the
    // shared state outlives this call for them.
    struct Shared {
        std::atomic<int> next{0};
        std::atomic<int> done{0};
        QSemaphore finished;
        std::function<void(int)> body;
        int count = 0;
    };
    auto shared = std::make_shared<Shared>();
    shared->body = body;
    shared->count = count;
    const auto work = [shared] {
        for (int i = shared->next.fetch_add(1); i < shared->count; i = shared->next.fetch_add(1)) {
            shared->body(i);
            if (shared->done.fetch_add(1) + 1 == shared->count)
                shared->finished.release();
        }
    };
    for (int i = 0; i < helpers; ++i)
        pool->start(work);
    work();
    shared->finished.acquire();
}

} // namespace pendra
