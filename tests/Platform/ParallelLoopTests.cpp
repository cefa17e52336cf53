#include "ParallelLoop.h"

#include <QThread>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <vector>

namespace pendra {
namespace {

TEST(ParallelLoop, RunsEveryIterationOnceBeforeReturning)
{
    for (const int count : {0, 1, 2, 3, 17, 200}) {
        std::vector<std::atomic<int>> runs(static_cast<std::size_t>(std::max(count, 1)));
        ParallelLoop::run(count, [&](int i) {
            QThread::usleep(i % 3 == 0 ? 200 : 0);
            runs[std::size_t(i)].fetch_add(1);
        });
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(runs[std::size_t(i)].load(), 1) << count << " iterations, number " << i;
    }
}

TEST(ParallelLoop, FinishesOnAWorkerAndWhenEveryWorkerIsBusy)
{
    QThreadPool* pool = QThreadPool::globalInstance();
    // Every worker blocked: the calling thread does all the work alone.
    std::atomic<bool> release{false};
    std::atomic<int> blocked{0};
    for (int i = 0; i < pool->maxThreadCount(); ++i) {
        pool->start([&] {
            blocked.fetch_add(1);
            while (!release.load())
                QThread::usleep(100);
        });
    }
    while (blocked.load() < pool->maxThreadCount())
        QThread::usleep(100);
    std::atomic<int> done{0};
    ParallelLoop::run(40, [&](int) { done.fetch_add(1); });
    EXPECT_EQ(done.load(), 40);
    release = true;
    pool->waitForDone();

    // From inside a worker, as the rail's painting runs.
    std::atomic<int> nested{0};
    std::mutex lock;
    std::set<const QThread*> threads;
    pool->start([&] {
        ParallelLoop::run(64, [&](int) {
            nested.fetch_add(1);
            const std::lock_guard guard(lock);
            threads.insert(QThread::currentThread());
        });
    });
    pool->waitForDone();
    EXPECT_EQ(nested.load(), 64);
    EXPECT_GE(threads.size(), 1u);
}

} // namespace
} // namespace pendra
