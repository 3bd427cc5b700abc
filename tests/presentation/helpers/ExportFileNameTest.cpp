#include "presentation/helpers/ExportFileName.h"

#include <gtest/gtest.h>

namespace vexel {
namespace {

TEST(ExportFileNameTest, TheNameWrittenEndsInTheSuffixOfWhatTheFileHolds) {
    const struct {
        const char* chosen;
        const char* extension;
        const char* written;
    } cases[] = {
        {"/films/projB.mov", "mp4", "/films/projB.mp4"},
        {"/films/projB.MOV", "mp4", "/films/projB.mp4"},
        {"/films/projB.mkv", "mov", "/films/projB.mov"},
        {"/films/projB", "mp4", "/films/projB.mp4"},
        {"/films/take.final", "mov", "/films/take.final.mov"},
        {"/films/Holiday.MP4", "mp4", "/films/Holiday.MP4"},
        {"/films/.mov", "mp4", "/films/.mov.mp4"},
        {"/films/", "mp4", "/films/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(withExportSuffix(c.chosen, c.extension), std::filesystem::path(c.written))
            << c.chosen;
    }
}

} // namespace
} // namespace vexel
