#include "presentation/helpers/PaletteCommandBuilder.h"

#include "domain/entities/ModelFixtures.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

TEST(PaletteCommandBuilderTest, OffersWhatEachKindOfClipAllowsThenTheTwoAdds) {
    EXPECT_EQ(PaletteCommandBuilder::buildCommands(Project::makeNew()),
              (std::vector<std::string>{"Add clip to timeline", "Add text to timeline"}));

    const Project project{
        {makeTrack(TrackType::text, "Text 1", {makeClip(0, 2, TrackType::text, "Hi")}),
         makeTrack(TrackType::video, "Video 1", {makeClip(0, 5, TrackType::video, "beach.mov")}),
         makeTrack(TrackType::image, "Image 1", {makeClip(0, 5, TrackType::image, "logo.png")}),
         makeTrack(TrackType::audio, "Audio 1", {makeClip(0, 5, TrackType::audio, "song.mp3")})},
        3600};
    const std::vector<std::string> commands = PaletteCommandBuilder::buildCommands(project);
    ASSERT_EQ(commands.size(), 35u); // 14 + 10 + 8, one text, two adds
    EXPECT_EQ(std::vector<std::string>(commands.end() - 3, commands.end()),
              (std::vector<std::string>{"Remove text: Hi", "Add clip to timeline",
                                        "Add text to timeline"}));
    // Track order, then the kinds' own lists.
    EXPECT_EQ(commands[0], "Move beach.mov to timestamp");
    EXPECT_EQ(commands[13], "Cross-dissolve beach.mov");
    EXPECT_EQ(commands[14], "Move logo.png to timestamp");
    EXPECT_EQ(commands[18], "Set opacity of logo.png");
    EXPECT_EQ(commands[24], "Move song.mp3 to timestamp");
    EXPECT_EQ(commands[31], "Fade out song.mp3");
}
