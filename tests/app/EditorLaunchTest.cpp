#include "app/EditorLaunch.h"

#include "platform/instance/UnixSocketAddress.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

using vexel::testing::ScopedEnvironment;
using vexel::testing::TemporaryFolder;

namespace vexel {
namespace {

TEST(EditorLaunchTest, TheLockGuardsTheDataFolderAndTheSocketAlwaysHasAnAddress) {
    TemporaryFolder root;
    const ScopedEnvironment runtime("XDG_RUNTIME_DIR", (root / "runtime").string());
    std::filesystem::create_directories(root / "runtime");
    const std::string deep = (root / std::string(90, 'd')).string();
    const struct {
        std::string dataHome;
        bool socketBeside;
    } cases[] = {
        {(root / "data").string(), true},
        {deep + "/a", false},
        {deep + "/b", false},
    };
    std::vector<std::filesystem::path> sockets;
    std::vector<std::string> names;
    for (const auto& [dataHome, socketBeside] : cases) {
        const ScopedEnvironment data("XDG_DATA_HOME", dataHome);
        const instance::InstancePaths paths = editorInstancePaths();
        const std::filesystem::path folder =
            std::filesystem::path(dataHome) / "com.vexel.app" / "instance";
        EXPECT_EQ(paths.lockFile, folder / "editor.lock") << dataHome;
        // The user's alone: whoever reaches the socket is believed.
        struct stat info {};
        ASSERT_EQ(::stat(folder.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0700u);
        EXPECT_TRUE(instance::unixSocketAddress(paths.socket)) << paths.socket;
        EXPECT_EQ(paths.socket.parent_path() == folder, socketBeside) << paths.socket;
        EXPECT_FALSE(paths.lockUnusable) << dataHome;
        EXPECT_TRUE(instance::abstractSocketAddress(paths.name)) << paths.name;
        sockets.push_back(paths.socket);
        names.push_back(paths.name);
    }
    // Editors over other data folders keep apart.
    EXPECT_NE(sockets[1], sockets[2]);
    EXPECT_NE(names[0], names[1]);
    EXPECT_NE(names[1], names[2]);
    EXPECT_EQ(sockets[1].parent_path(), root / "runtime");

    // A link in the lock's place could lead it anywhere: the lock is not used.
    const ScopedEnvironment data("XDG_DATA_HOME", (root / "linked").string());
    std::filesystem::create_directories(root / "linked" / "com.vexel.app");
    std::filesystem::create_directory_symlink(root / "runtime",
                                              root / "linked" / "com.vexel.app" / "instance");
    EXPECT_TRUE(editorInstancePaths().lockUnusable);
}

} // namespace
} // namespace vexel
