#include "About.h"

#include <gtest/gtest.h>

namespace pendra {
namespace {

TEST(About, KernelReleaseBecomesThreeNumbers)
{
    struct Case {
        const char* release;
        const char* expected;
    };
    for (const Case c : {Case{"6.1.0-18-amd64", "6.1.0"}, Case{"5.10", "5.10.0"}, Case{"6", "6.0.0"},
                         Case{"6.1.0.5", "6.1.0"}, Case{"4.19.0", "4.19.0"}, Case{"", "0.0.0"},
                         Case{"rolling", "0.0.0"}, Case{"007.08.009", "7.8.9"}}) {
        EXPECT_EQ(About::threeNumbers(c.release), c.expected) << c.release;
    }
}

TEST(About, ModelIsTheProductNameOrPC)
{
    struct Case {
        QByteArray productName;
        const char* expected;
    };
    for (const Case& c : {Case{"ThinkPad X1 Carbon\n", "ThinkPad X1 Carbon"}, Case{"", "PC"},
                          Case{"  \n", "PC"}, Case{QByteArray("\0abc", 4), "PC"},
                          Case{QByteArray("HP Elite\0junk", 13), "HP Elite"}}) {
        EXPECT_EQ(About::modelFrom(c.productName), c.expected) << c.productName.toStdString();
    }
}

TEST(About, VersionAndBuildHaveTheirFallbacks)
{
    EXPECT_EQ(About::versionOr(QString(), "1.0.0"), "1.0.0");
    EXPECT_EQ(About::versionOr("  ", "1"), "1");
    EXPECT_EQ(About::versionOr("2.3.4", "1.0.0"), "2.3.4");
    // This build is configured with the product's own numbers.
    EXPECT_EQ(About::version(), "1.0.0");
    EXPECT_EQ(About::build(), "1");
    EXPECT_EQ(About::system().count('.'), 2);
    EXPECT_FALSE(About::model().isEmpty());
}

} // namespace
} // namespace pendra
