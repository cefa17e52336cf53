#include "SoundRequests.h"

#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace pendra {
namespace {

using Request = SoundRequests::Request;

TEST(SoundRequests, OnlyTheLatestRequestWaits)
{
    // A burst of clicks while the worker is blocked leaves one thing to do.
    struct Case {
        std::vector<Request> posted;
        Request taken;
    } cases[] = {
        {{Request::play}, Request::play},
        {{Request::stop}, Request::stop},
        {{Request::stop, Request::play, Request::stop, Request::play, Request::play}, Request::play},
        {{Request::play, Request::play, Request::stop}, Request::stop},
    };
    for (const Case& c : cases) {
        SoundRequests requests;
        for (int round = 0; round < 50; ++round) {
            for (const Request r : c.posted)
                requests.post(r);
        }
        EXPECT_EQ(requests.take(), c.taken);
        requests.close();
        EXPECT_EQ(requests.take(), std::nullopt) << "nothing is left after the one request";
    }
}

TEST(SoundRequests, ClosingWakesAWaitingWorker)
{
    SoundRequests requests;
    std::thread worker([&] { EXPECT_EQ(requests.take(), std::nullopt); });
    requests.close();
    worker.join();
}

} // namespace
} // namespace pendra
