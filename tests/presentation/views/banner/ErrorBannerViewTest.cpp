#include "presentation/views/banner/ErrorBannerView.h"

#include "presentation/support/EventLoop.h"
#include "presentation/support/ManualTime.h"
#include "presentation/support/QtWarnings.h"
#include "presentation/theme/VexelColors.h"
#include "presentation/views/banner/ErrorCategoryLook.h"
#include "presentation/views/banner/ErrorHistoryPopover.h"
#include "presentation/views/kit/Theme.h"
#include "support/RecordingLogger.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace vexel;
using namespace std::chrono_literals;

namespace {

// The banner as the timeline shows it: a row of a column, over the window's
// banner view model on injected time.
struct ErrorBannerViewTest : ::testing::Test {
    test::ManualTime time;
    std::shared_ptr<test::RecordingLogger> logger = std::make_shared<test::RecordingLogger>();
    ErrorBannerViewModel viewModel{logger, time.sleepAction()};
    IconRegistry icons{logger};
    QWidget column;
    QVBoxLayout* layout = new QVBoxLayout(&column);
    ErrorBannerView* banner = new ErrorBannerView(viewModel, icons);
    QLabel* below = new QLabel(QStringLiteral("below"));

    ErrorBannerViewTest() {
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(banner);
        layout->addWidget(below);
        layout->addStretch();
        column.resize(500, 300);
        column.show();
    }

    void push(const std::string& message, ErrorCategory category = ErrorCategory::validation,
              std::optional<std::string> detail = std::nullopt,
              std::optional<std::string> action = std::nullopt) {
        viewModel.pushError(AppError::make(category, message, time.now(), detail, action));
        test::settle();
    }

    void clickBanner() {
        // On the banner itself, left of its message, not on a button.
        QTest::mouseClick(banner, Qt::LeftButton, {}, QPoint(8, banner->height() / 2));
    }
};

} // namespace

TEST_F(ErrorBannerViewTest, TakesNoSpaceWithoutAnErrorAndHidesAfterTenSecondsOrOnDismiss) {
    EXPECT_TRUE(banner->isHidden());
    EXPECT_EQ(below->y(), 0);

    push("Failed to move clip");
    EXPECT_TRUE(banner->isVisible());
    EXPECT_GT(below->y(), 0);
    EXPECT_EQ(banner->messageText(), QStringLiteral("Failed to move clip"));
    time.advance(9s);
    EXPECT_TRUE(banner->isVisible());
    time.advance(1s);
    EXPECT_TRUE(banner->isHidden());

    // The dismiss button hides it at once; the history keeps it.
    push("Cannot split clip here");
    ASSERT_EQ(banner->dismissButton()->accessibleName(), QStringLiteral("Dismiss error"));
    QTest::mouseClick(banner->dismissButton(), Qt::LeftButton);
    EXPECT_TRUE(banner->isHidden());
    EXPECT_EQ(viewModel.errorHistory().size(), 2u);
    time.advance(10s);
    EXPECT_TRUE(banner->isHidden());
    EXPECT_TRUE(logger->entries().empty());
}

TEST_F(ErrorBannerViewTest, CountsTheHistoryAndListsTheLastTenNewestFirst) {
    const test::QtWarnings warnings;
    push("error 1");
    EXPECT_TRUE(banner->countBadge()->isHidden());
    push("error 2");
    EXPECT_TRUE(banner->countBadge()->isVisible());
    EXPECT_EQ(banner->countBadge()->text(), QStringLiteral("2"));
    EXPECT_EQ(banner->countBadge()->accessibleName(), QStringLiteral("2 errors in history"));
    EXPECT_EQ(banner->messageText(), QStringLiteral("error 2"));

    for (int n = 3; n <= 11; ++n) {
        push("error " + std::to_string(n));
    }
    EXPECT_EQ(banner->countBadge()->text(), QStringLiteral("10"));
    QTest::mouseClick(banner->countBadge(), Qt::LeftButton);
    ASSERT_TRUE(banner->isHistoryShown());
    QStringList expected;
    for (int n = 11; n >= 2; --n) {
        expected.push_back(QStringLiteral("error %1").arg(n));
    }
    EXPECT_EQ(banner->historyPopover().rowMessages(), expected);
    // An error pushed while the list is open shows in it.
    push("error 12");
    EXPECT_EQ(banner->historyPopover().rowMessages().front(), QStringLiteral("error 12"));

    // Clear empties the list, closes it and hides the badge; the banner stays.
    QTest::mouseClick(banner->historyPopover().clearButton(), Qt::LeftButton);
    EXPECT_TRUE(viewModel.errorHistory().empty());
    EXPECT_FALSE(banner->isHistoryShown());
    EXPECT_TRUE(banner->countBadge()->isHidden());
    EXPECT_TRUE(banner->isVisible());
    EXPECT_EQ(banner->messageText(), QStringLiteral("error 12"));
    // Two more errors bring the badge back.
    push("error 13");
    EXPECT_TRUE(banner->countBadge()->isHidden());
    push("error 14");
    EXPECT_EQ(banner->countBadge()->text(), QStringLiteral("2"));

    // The badge closes what it opened.
    QTest::mouseClick(banner->countBadge(), Qt::LeftButton);
    EXPECT_TRUE(banner->isHistoryShown());
    QTest::mouseClick(banner->countBadge(), Qt::LeftButton);
    EXPECT_FALSE(banner->isHistoryShown());
    // An emptied list has no height of its own to give; Qt refuses a negative one.
    EXPECT_TRUE(warnings.messages().isEmpty()) << warnings.messages().join('\n').toStdString();
}

TEST_F(ErrorBannerViewTest, AClickShowsTheDetailOnlyWhenThereIsOneAndTheActionAlways) {
    push("Failed to save project", ErrorCategory::fileImport);
    clickBanner();
    EXPECT_FALSE(banner->isExpanded());
    EXPECT_TRUE(banner->detailLabel()->isHidden());
    EXPECT_TRUE(banner->actionLabel()->isHidden());

    push("Rate limited", ErrorCategory::rateLimit, "Too many requests in a minute.",
         "Wait a moment");
    EXPECT_TRUE(banner->detailLabel()->isHidden());
    EXPECT_TRUE(banner->actionLabel()->isVisible());
    EXPECT_EQ(banner->actionLabel()->text(), QStringLiteral("Wait a moment"));
    clickBanner();
    EXPECT_TRUE(banner->isExpanded());
    EXPECT_TRUE(banner->detailLabel()->isVisible());
    EXPECT_EQ(banner->detailLabel()->text(), QStringLiteral("Too many requests in a minute."));
    EXPECT_TRUE(banner->actionLabel()->isVisible());

    // The expansion outlives the error: the next one with a detail shows it.
    push("Network down", ErrorCategory::network, "No route to host");
    EXPECT_TRUE(banner->isExpanded());
    EXPECT_EQ(banner->detailLabel()->text(), QStringLiteral("No route to host"));
    EXPECT_TRUE(banner->actionLabel()->isHidden());
    clickBanner();
    EXPECT_FALSE(banner->isExpanded());
    EXPECT_TRUE(banner->detailLabel()->isHidden());

    // A press that drags is no click.
    QTest::mousePress(banner, Qt::LeftButton, {}, QPoint(8, 10));
    QTest::mouseRelease(banner, Qt::LeftButton, {}, QPoint(40, 10));
    EXPECT_FALSE(banner->isExpanded());
}

TEST_F(ErrorBannerViewTest, EachCategoryHasItsIconAndTint) {
    const QColor red(0xEF, 0x44, 0x44);
    const struct {
        ErrorCategory category;
        std::string_view icon;
        QColor tint;
    } cases[] = {
        {ErrorCategory::network, "wifi.slash", red},
        {ErrorCategory::auth, "lock.trianglebadge.exclamationmark", red},
        {ErrorCategory::rateLimit, "clock.badge.exclamationmark", QColor(0xF9, 0x73, 0x16)},
        {ErrorCategory::validation, "exclamationmark.triangle", QColor(0xEA, 0xB3, 0x08)},
        {ErrorCategory::fileImport, "doc.badge.ellipsis", red},
        {ErrorCategory::llm, "brain", red},
        {ErrorCategory::unknown, "exclamationmark.circle", red},
    };
    for (const auto& c : cases) {
        const ErrorCategoryLook look = errorCategoryLook(c.category);
        EXPECT_EQ(look.iconName, c.icon);
        EXPECT_TRUE(IconRegistry::contains(look.iconName)) << look.iconName;
        push("Something failed", c.category);
        EXPECT_EQ(banner->tint(), c.tint) << c.icon;
    }
    // The outline is drawn in the tint: its left edge, half way down.
    push("Something failed", ErrorCategory::rateLimit);
    const QImage drawn = banner->grab().toImage();
    const QColor edge = drawn.pixelColor(ErrorBannerView::outerPadding, drawn.height() / 2);
    EXPECT_GT(edge.red(), edge.blue() + 40) << edge.name().toStdString();
    EXPECT_TRUE(logger->entries().empty());
}
