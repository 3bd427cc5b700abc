#include "app/CommandLine.h"

#include "app/AppHarness.h"
#include "support/WorkingFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

using namespace vexel;
using namespace vexel::test;

namespace {

std::optional<std::filesystem::path> folderOf(std::vector<std::string> arguments) {
    std::vector<const char*> argv{"vexel"};
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    argv.push_back(nullptr);
    return projectFolderArgument(static_cast<int>(argv.size()) - 1, argv.data());
}

} // namespace

// A name in Latin-1 is no UTF-8: read as text, its "é" would become U+FFFD,
// which is another folder, here one that holds another project.
TEST(CommandLineTest, AFolderNameInAnotherEncodingOpensThatVeryFolder) {
    AppHarness harness;
    const std::string latin1 = "Caf\xe9 Film";
    const std::filesystem::path folder = harness.root / latin1;
    const std::filesystem::path lookalike = harness.root / "Caf\xef\xbf\xbd Film";
    harness.launch();
    harness.edit(addTitle(2));
    awaitTask(harness.graph().mainViewModel().saveTo(folder));
    const Project wanted = harness.graph().timelineViewModel().project();
    harness.edit(addTitle(8));
    awaitTask(harness.graph().mainViewModel().saveTo(lookalike));
    harness.crash();

    EXPECT_EQ(folderOf({}), std::nullopt);
    {
        const WorkingFolder inRoot(harness.root.path());
        for (const std::vector<std::string>& arguments :
             std::vector<std::vector<std::string>>{{folder.string()},
                                                   {"--", folder.string()},
                                                   {latin1},
                                                   {"./" + latin1 + "/"},
                                                   {"sub/../" + latin1}}) {
            EXPECT_EQ(folderOf(arguments), folder) << arguments.back();
        }
    }

    harness.launch(folderOf({folder.string()}));
    EXPECT_EQ(harness.graph().timelineViewModel().project(), wanted);
    EXPECT_EQ(harness.graph().mainViewModel().currentProjectURL(), folder);
    EXPECT_EQ(harness.errors(), std::vector<std::string>{});
}
