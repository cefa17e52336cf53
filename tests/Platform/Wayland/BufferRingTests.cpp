#include "BufferRing.h"

#include <gtest/gtest.h>

namespace pendra {
namespace {

const QSize size(100, 40);

TEST(BufferRing, ANewBufferLacksEverythingAndTheShownOneNothing)
{
    BufferRing ring;
    ring.reset(size);
    const auto first = ring.pick();
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(ring.stale(*first), QRegion(QRect(QPoint(), size)));
    EXPECT_FALSE(ring.latest().has_value());
    ring.committed(*first, QRegion(QRect(QPoint(), size)));
    EXPECT_EQ(ring.latest(), first);
    EXPECT_TRUE(ring.stale(*first).isEmpty());
    EXPECT_TRUE(ring.busy(*first));
}

TEST(BufferRing, ABufferMissesWhatOthersShowedWhileItWasAway)
{
    BufferRing ring;
    ring.reset(size);
    const int a = *ring.pick();
    ring.committed(a, QRegion(QRect(QPoint(), size)));
    const int b = *ring.pick();
    ASSERT_NE(a, b) << "the compositor still reads the first";
    ring.committed(b, QRegion(0, 0, 10, 10));
    const int c = *ring.pick();
    ASSERT_NE(c, a);
    ASSERT_NE(c, b);
    ring.committed(c, QRegion(50, 0, 10, 10));
    EXPECT_EQ(ring.stale(a), QRegion(0, 0, 10, 10) + QRegion(50, 0, 10, 10));
    EXPECT_EQ(ring.stale(b), QRegion(50, 0, 10, 10));
    EXPECT_EQ(ring.stale(c), QRegion());

    // Once the compositor lets go, the one shown last is reused first: it
    // lacks nothing.
    ring.released(a);
    ring.released(c);
    EXPECT_EQ(ring.pick(), c);
    ring.released(b);
    ring.committed(c, QRegion(20, 20, 5, 5));
    EXPECT_EQ(ring.pick(), a) << "the latest is busy again, so the first free one";
    EXPECT_EQ(ring.stale(a), QRegion(0, 0, 10, 10) + QRegion(50, 0, 10, 10) + QRegion(20, 20, 5, 5));
}

TEST(BufferRing, NoMoreThanTheLimitAndNoneWhileAllAreBusy)
{
    for (const int limit : {2, 3}) {
        BufferRing ring(limit);
        ring.reset(size);
        for (int i = 0; i < limit; ++i) {
            const auto slot = ring.pick();
            ASSERT_TRUE(slot.has_value()) << limit;
            ring.committed(*slot, QRegion(0, 0, 1, 1));
        }
        EXPECT_EQ(ring.count(), limit);
        EXPECT_FALSE(ring.pick().has_value()) << limit << ": the compositor holds them all";
        ring.released(0);
        EXPECT_EQ(ring.pick(), 0) << limit;
        ring.released(42); // a stray release does no harm
        EXPECT_EQ(ring.count(), limit);
    }
}

TEST(BufferRing, ANewSizeStartsOver)
{
    BufferRing ring;
    ring.reset(size);
    ring.committed(*ring.pick(), QRegion(QRect(QPoint(), size)));
    ring.reset(QSize(200, 80));
    EXPECT_EQ(ring.count(), 0);
    EXPECT_FALSE(ring.latest().has_value());
    EXPECT_EQ(ring.stale(*ring.pick()), QRegion(0, 0, 200, 80));
}

} // namespace
} // namespace pendra
