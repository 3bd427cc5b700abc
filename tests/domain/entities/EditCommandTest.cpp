#include "domain/entities/EditCommand.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <vector>

using namespace vexel;

namespace {

const Uuid clipA = Uuid::random();
const Uuid clipB = Uuid::random();

} // namespace

TEST(EditCommand, TagsFollowTheDeclarationOrder) {
    EXPECT_EQ(EditCommand(EditCommand::Move{clipA, 1.0, {}}).tag(), EditCommand::Tag::move);
    EXPECT_EQ(static_cast<int>(EditCommand(EditCommand::ScaleText{clipA, 2.0}).tag()), 24);
    EXPECT_EQ(static_cast<int>(EditCommand(EditCommand::Export{ExportFormat::mov}).tag()), 25);
    EXPECT_EQ(static_cast<int>(EditCommand(EditCommand::Redo{}).tag()), 30);
    const EditCommand split = EditCommand::Split{clipA, 3.0};
    ASSERT_NE(split.getIf<EditCommand::Split>(), nullptr);
    EXPECT_EQ(split.getIf<EditCommand::Split>()->at, 3.0);
    EXPECT_EQ(split.getIf<EditCommand::Trim>(), nullptr);
    EXPECT_TRUE(split.is<EditCommand::Split>());
}

TEST(EditCommand, EqualityComparesCaseAndEveryPayloadElement) {
    // An absent optional differs from a present one, even when the present one
    // names what the absent one would mean.
    EXPECT_NE(EditCommand(EditCommand::DuplicateClip{clipA, std::nullopt}),
              EditCommand(EditCommand::DuplicateClip{clipA, 0.0}));
    EXPECT_EQ(EditCommand(EditCommand::DuplicateClip{clipA, 0.0}),
              EditCommand(EditCommand::DuplicateClip{clipA, 0.0}));
    EXPECT_NE(EditCommand(EditCommand::ColorAdjust{clipA, 0.2, {}, {}}),
              EditCommand(EditCommand::ColorAdjust{clipA, 0.2, 1.0, {}}));
    EXPECT_NE(EditCommand(EditCommand::Move{clipA, 1.0, std::nullopt}),
              EditCommand(EditCommand::Move{clipA, 1.0, clipB}));
    EXPECT_NE(EditCommand(EditCommand::RemoveClip{clipA}),
              EditCommand(EditCommand::RemoveClip{clipB}));
    // Same payload shape, different case.
    EXPECT_NE(EditCommand(EditCommand::Reverse{clipA}),
              EditCommand(EditCommand::RemoveClip{clipA}));
    EXPECT_NE(EditCommand(EditCommand::Speed{clipA, 0.5}),
              EditCommand(EditCommand::Opacity{clipA, 0.5}));

    const EditCommand addText = EditCommand::AddText{"Hi", 1.0, 5.0, TextPosition::top(), {}};
    EXPECT_EQ(addText, EditCommand(EditCommand::AddText{"Hi", 1.0, 5.0, TextPosition::top(), {}}));
    EXPECT_NE(addText,
              EditCommand(EditCommand::AddText{"Hi", 1.0, 5.0, TextPosition::bottom(), {}}));
}

TEST(EditCommand, NaNPayloadIsNotEqualToItself) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const EditCommand move = EditCommand::Move{clipA, nan, {}};
    EXPECT_FALSE(move == move);
    const EditCommand dup = EditCommand::DuplicateClip{clipA, nan};
    EXPECT_FALSE(dup == dup);
}

TEST(EditCommand, PayloadlessCasesEqualOnlyThemselves) {
    const std::vector<EditCommand> commands = {EditCommand::ShowTutorial{}, EditCommand::Undo{},
                                               EditCommand::Redo{}};
    for (std::size_t i = 0; i < commands.size(); ++i) {
        for (std::size_t j = 0; j < commands.size(); ++j) {
            EXPECT_EQ(commands[i] == commands[j], i == j) << i << " vs " << j;
        }
    }
}

TEST(EditCommand, SupportRecordsCompareFieldByField) {
    BugReport report{Uuid::random(),
                     "Crash",
                     "Open, click",
                     BugReport::BugCategory::crash,
                     "...",
                     std::nullopt,
                     std::chrono::system_clock::time_point{}};
    BugReport later = report;
    later.createdAt += std::chrono::seconds(1);
    EXPECT_EQ(EditCommand(EditCommand::ReportBug{report}),
              EditCommand(EditCommand::ReportBug{report}));
    EXPECT_NE(EditCommand(EditCommand::ReportBug{report}),
              EditCommand(EditCommand::ReportBug{later}));

    FeatureRequest request{Uuid::random(), "Keyframes", "Animate", "...", {}};
    FeatureRequest other = request;
    other.useCase = "Animate more";
    EXPECT_NE(EditCommand(EditCommand::RequestFeature{request}),
              EditCommand(EditCommand::RequestFeature{other}));

    EXPECT_EQ(bugCategoryFromRaw("llm"), BugReport::BugCategory::llm);
    EXPECT_EQ(bugCategoryFromRaw("LLM"), std::nullopt);
}
