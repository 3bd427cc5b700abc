#include "foundation/DataHome.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

using vexel::applicationDataFolder;
using vexel::testing::ScopedEnvironment;

TEST(DataHomeTest, FollowsXdgDataHomeOnlyWhenItIsAbsolute) {
    ScopedEnvironment home("HOME", "/home/someone");
    {
        ScopedEnvironment xdg("XDG_DATA_HOME", "/data/here");
        EXPECT_EQ(applicationDataFolder(), "/data/here/com.vexel.app");
    }
    {
        ScopedEnvironment xdg("XDG_DATA_HOME", "relative/data");
        EXPECT_EQ(applicationDataFolder(), "/home/someone/.local/share/com.vexel.app");
    }
    {
        ScopedEnvironment xdg("XDG_DATA_HOME", "");
        EXPECT_EQ(applicationDataFolder(), "/home/someone/.local/share/com.vexel.app");
    }
}
