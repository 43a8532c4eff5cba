// Logic tests run with one pinned locale and time zone, whatever the machine's.

#include "support/pinnedsettings.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    kelvane::test::pinSettings();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
