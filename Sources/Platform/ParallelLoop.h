#pragma once

#include <functional>

namespace pendra {

// Runs the iterations of a loop on Qt's worker threads and on the calling
// thread together, and returns once every iteration is done. Iterations must
// not depend on one another. The caller always takes part, so the loop
// finishes even when every worker is busy (or when it runs on a worker).
class ParallelLoop {
public:
    static void run(int count, const std::function<void(int)>& body);
};

} // namespace pendra
