#include "DiskFaults.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

// These tests start the real program; they need no platform of their own.
int main(int argc, char** argv)
{
    pendra::test::DiskFaults::prepare();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
