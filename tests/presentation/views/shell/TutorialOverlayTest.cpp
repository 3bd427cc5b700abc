#include "presentation/views/shell/TutorialOverlay.h"

#include "presentation/support/EventLoop.h"
#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/shell/TutorialStepIndicator.h"
#include "support/RecordingLogger.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace vexel;
using vexel::test::settle;

namespace {

// A window content of three panes (a text field in the chat, a button in the
// preview and in the timeline) under the tutorial's overlay.
struct OverlayHarness {
    OverlayHarness() {
        host.resize(1200, 800);
        chatField = new QLineEdit(&host);
        chatField->setGeometry(20, 400, 240, 30);
        previewButton = new QPushButton(QStringLiteral("Preview"), &host);
        previewButton->setGeometry(400, 100, 200, 200);
        timelineButton = new QPushButton(QStringLiteral("Timeline"), &host);
        timelineButton->setGeometry(100, 600, 400, 100);
        QObject::connect(previewButton, &QPushButton::clicked, [this] { ++previewClicks; });
        QObject::connect(timelineButton, &QPushButton::clicked, [this] { ++timelineClicks; });
        overlay = new TutorialOverlay(host, state, icons,
                                      {[this] { calls.push_back("setupAndAdvance"); },
                                       [this] { calls.push_back("skip"); },
                                       [this] { calls.push_back("complete"); }},
                                      [this](TutorialStep step) {
                                          TutorialStepConfig config = TutorialStepConfig::of(step);
                                          if (withoutPrefill) {
                                              config.prefillText.reset();
                                          }
                                          return config;
                                      });
        overlay->setAreas(chat, QRect(280, 0, 920, 494), QRect(0, 494, 1200, 306), 434);
        host.show();
        host.activateWindow();
        QApplication::setActiveWindow(&host);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&host));
        // Activation gave the field the focus; only a click may give it now.
        chatField->clearFocus();
        EXPECT_FALSE(chatField->hasFocus());
    }

    void click(QWidget* target, QPoint at) {
        const QPoint inHost = target->mapTo(&host, at);
        QWidget* under = host.childAt(inHost);
        ASSERT_NE(under, nullptr);
        QTest::mouseClick(under, Qt::LeftButton, {}, under->mapFrom(&host, inHost));
        settle();
    }

    std::vector<std::pair<bool, QString>> dots() const {
        std::vector<std::pair<bool, QString>> shown;
        if (overlay->indicator() != nullptr) {
            for (const TutorialStepDot* dot : overlay->indicator()->dots()) {
                shown.emplace_back(dot->isLit(), dot->accessibleName());
            }
        }
        return shown;
    }

    QRect chat{0, 0, 280, 494};
    QWidget host;
    QLineEdit* chatField = nullptr;
    QPushButton* previewButton = nullptr;
    QPushButton* timelineButton = nullptr;
    int previewClicks = 0;
    int timelineClicks = 0;
    bool withoutPrefill = false;
    std::vector<std::string> calls;
    TutorialState state;
    IconRegistry icons{std::make_shared<test::RecordingLogger>()};
    TutorialOverlay* overlay = nullptr;
};

TEST(TutorialOverlayTest, WelcomeDimsEverythingAndOffersItsTwoButtons) {
    OverlayHarness harness;
    EXPECT_FALSE(harness.overlay->isVisible());
    harness.click(harness.timelineButton, {10, 10});
    EXPECT_EQ(harness.timelineClicks, 1);

    harness.state.setCurrentStep(TutorialStep::welcome);
    settle();
    ASSERT_TRUE(harness.overlay->isVisible());
    EXPECT_EQ(harness.overlay->geometry(), harness.host.rect());
    EXPECT_TRUE(harness.overlay->card().isVisible());
    EXPECT_EQ(harness.overlay->card().geometry().center(), harness.host.rect().center());
    harness.click(harness.timelineButton, {10, 10});
    harness.click(harness.previewButton, {10, 10});
    EXPECT_EQ(harness.timelineClicks, 1);
    EXPECT_EQ(harness.previewClicks, 0);

    const std::vector<std::pair<bool, QString>> dots = harness.dots();
    ASSERT_EQ(dots.size(), 6u);
    EXPECT_EQ(dots[0], std::pair(true, QString("Step 1 of 6")));
    EXPECT_EQ(dots[5], std::pair(false, QString("Step 6 of 6")));

    QTest::mouseClick(harness.overlay->skipButton(), Qt::LeftButton);
    QTest::mouseClick(harness.overlay->getStartedButton(), Qt::LeftButton);
    EXPECT_EQ(harness.calls, (std::vector<std::string>{"skip", "setupAndAdvance"}));
    EXPECT_EQ(harness.overlay->skipButton()->text(), "Skip");
    EXPECT_EQ(harness.overlay->getStartedButton()->text(), "Get Started");

    harness.state.setCurrentStep(std::nullopt);
    settle();
    EXPECT_FALSE(harness.overlay->isVisible());
    harness.click(harness.timelineButton, {10, 10});
    EXPECT_EQ(harness.timelineClicks, 2);
}

TEST(TutorialOverlayTest, AChatStepLeavesTheChatUsableThroughItsHole) {
    OverlayHarness harness;
    harness.state.setCurrentStep(TutorialStep::splitChat);
    settle();
    ASSERT_TRUE(harness.overlay->isVisible());

    harness.click(harness.chatField, {10, 10});
    EXPECT_TRUE(harness.chatField->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), "Split");
    EXPECT_EQ(harness.chatField->text(), "Split");
    harness.click(harness.previewButton, {50, 50});
    EXPECT_EQ(harness.previewClicks, 0);
    // The outline's corner is outside the hole.
    EXPECT_EQ(harness.host.childAt(QPoint(1, 1)), harness.overlay);

    // The card ends 40 above the chat bar, in the column's middle, and shows
    // the step's instruction.
    const QRect card = harness.overlay->card().geometry();
    EXPECT_EQ(card.y() + card.height(), 434 - 40);
    EXPECT_EQ(card.center().x(), harness.chat.center().x());
    EXPECT_EQ(card.width(), 280 - 32);
    const auto prefill = harness.overlay->card().findChild<QLabel*>("tutorialPrefill");
    ASSERT_NE(prefill, nullptr);
    EXPECT_EQ(prefill->text(), "\"Split the clip at 3 seconds\"");
    EXPECT_TRUE(harness.dots()[1].first);

    // A chat bar near the top: the card still ends at 80.
    harness.overlay->setAreas(harness.chat, QRect(280, 0, 920, 494), QRect(0, 494, 1200, 306), 100);
    EXPECT_EQ(harness.overlay->card().geometry().y() + harness.overlay->card().height(), 80);

    // The layer follows the window, and so does its hole.
    harness.host.resize(1000, 700);
    harness.chat = QRect(0, 0, 300, 432);
    harness.overlay->setAreas(harness.chat, QRect(300, 0, 700, 432), QRect(0, 432, 1000, 268), 372);
    EXPECT_EQ(harness.overlay->geometry(), QRect(0, 0, 1000, 700));
    EXPECT_EQ(harness.overlay->card().width(), 300 - 32);
    harness.click(harness.chatField, {5, 5});
    EXPECT_TRUE(harness.chatField->hasFocus());

    harness.withoutPrefill = true;
    harness.state.setCurrentStep(TutorialStep::fadeInChat);
    settle();
    EXPECT_EQ(harness.overlay->card().findChild<QLabel*>("tutorialPrefill"), nullptr);
}

TEST(TutorialOverlayTest, TheEndShowsNoDotsAndItsButtonFinishes) {
    OverlayHarness harness;
    harness.state.setCurrentStep(TutorialStep::complete);
    settle();
    ASSERT_TRUE(harness.overlay->isVisible());
    EXPECT_EQ(harness.overlay->indicator(), nullptr);
    EXPECT_TRUE(harness.overlay->card().findChildren<TutorialStepDot*>().isEmpty());
    harness.click(harness.chatField, {10, 10});
    EXPECT_FALSE(harness.chatField->hasFocus());
    ASSERT_NE(harness.overlay->closeButton(), nullptr);
    EXPECT_EQ(harness.overlay->closeButton()->text(), "Start Editing");
    QTest::mouseClick(harness.overlay->closeButton(), Qt::LeftButton);
    EXPECT_EQ(harness.calls, std::vector<std::string>{"complete"});
}

} // namespace
