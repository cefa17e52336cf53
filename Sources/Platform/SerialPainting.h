#pragma once

#include <functional>

namespace pendra {

// Runs a piece of painting on one of Qt's worker threads while the caller
// waits. Qt splits large fills across those workers unless it already runs on
// one, and on a machine with few cores waking and waiting for them costs more
// than the drawing itself: one hand-over per redraw is far cheaper than dozens
// per stroke and picture. The caller is blocked throughout, so the work may
// read and change what the caller owns.
class SerialPainting {
public:
    static void run(const std::function<void()>& work);
};

} // namespace pendra
