#include "presentation/views/kit/AnchoredPopup.h"
#include "presentation/views/kit/EditRunner.h"
#include "presentation/views/kit/ElidedLabel.h"
#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/kit/PlainText.h"
#include "presentation/views/kit/TactileButton.h"

#include "domain/entities/ModelFixtures.h"
#include "foundation/CancellationError.h"
#include "presentation/support/ConversationHarness.h"
#include "presentation/support/EventLoop.h"
#include "support/RecordingLogger.h"

#include <QKeyEvent>
#include <QPointer>
#include <QTest>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace vexel;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

namespace {

std::optional<std::pair<ErrorCategory, std::string>> shown(const ErrorBannerViewModel& banner) {
    if (!banner.currentError()) {
        return std::nullopt;
    }
    return std::pair(banner.currentError()->category, banner.currentError()->message);
}

TEST(EditRunnerTest, ReportsFailuresOfTheRealEngineWithTheirFixedTexts) {
    const Clip first = makeClip(0, 4);
    const Clip second = makeClip(5, 3);
    test::ConversationHarness harness(
        Project({makeTrack(TrackType::video, "Video 1", {first, second})}, 3600));
    const EditRunner runner(harness.banner, harness.time, harness.logger);

    // Onto the neighbour: the engine refuses with an overlap, which has a text
    // of its own where the caller gives one.
    test::awaitTask(
        runner
            .runEdit(
                [&]() -> QCoro::Task<void> { co_await harness.timeline.moveClip(first.id, 4.5); },
                "Failed to move clip", "Cannot move clip: overlaps another clip on this track")
            .finished());
    EXPECT_EQ(shown(harness.banner),
              std::pair(ErrorCategory::validation,
                        std::string("Cannot move clip: overlaps another clip on this track")));
    EXPECT_EQ(harness.banner.currentError()->detail, std::nullopt);
    EXPECT_EQ(harness.banner.currentError()->timestamp, harness.time->now());

    // The same refusal without an overlap text, and another refusal with one,
    // both take the fixed text; drops report as file imports.
    test::awaitTask(
        runner
            .runEdit(
                [&]() -> QCoro::Task<void> { co_await harness.timeline.moveClip(first.id, 4.5); },
                "Failed to move clip")
            .finished());
    EXPECT_EQ(shown(harness.banner),
              std::pair(ErrorCategory::validation, std::string("Failed to move clip")));
    test::awaitTask(runner.withCategory(ErrorCategory::fileImport)
                        .runEdit(
                            [&]() -> QCoro::Task<void> {
                                co_await harness.timeline.executeCommand(
                                    EditCommand::RemoveClip{Uuid::random()});
                            },
                            "Failed to delete clip", "overlap")
                        .finished());
    EXPECT_EQ(shown(harness.banner),
              std::pair(ErrorCategory::fileImport, std::string("Failed to delete clip")));
    EXPECT_EQ(harness.banner.errorHistory().size(), 3u);

    // A cancelled edit and a successful one show nothing more.
    test::awaitTask(runner
                        .runEdit(
                            []() -> QCoro::Task<void> {
                                throw CancellationError();
                                co_return;
                            },
                            "Failed")
                        .finished());
    test::awaitTask(
        runner
            .runEdit(
                [&]() -> QCoro::Task<void> { co_await harness.timeline.moveClip(second.id, 10); },
                "Failed to move clip")
            .finished());
    EXPECT_EQ(harness.banner.errorHistory().size(), 3u);
    EXPECT_EQ(harness.timeline.project().tracks[0].clips[1].timeRange.startTime, 10);
}

TEST(AnchoredPopupTest, EveryWayOfClosingDismissesOncePerShowing) {
    QWidget window;
    window.resize(400, 300);
    window.show();
    AnchoredPopup popup(&window);
    popup.resize(120, 80);
    int dismissals = 0;
    popup.setOnDismiss([&] { ++dismissals; });

    popup.showAnchored(&window, QRect(10, 10, 40, 20));
    ASSERT_TRUE(popup.isVisible());
    QTest::keyClick(&popup, Qt::Key_Escape);
    EXPECT_FALSE(popup.isVisible());
    EXPECT_EQ(dismissals, 1);

    // A click outside the popup reaches the popup first, which closes.
    popup.showAnchored(&window, QRect(10, 10, 40, 20));
    QTest::mouseClick(&popup, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_FALSE(popup.isVisible());
    EXPECT_EQ(dismissals, 2);

    // Closed by its owner, and hidden again: still once.
    popup.showAnchored(&window, QRect(10, 10, 40, 20));
    popup.close();
    popup.hide();
    EXPECT_EQ(dismissals, 3);

    // Discarded by an owner closing it itself: hidden, gone later, and no
    // dismissal.
    auto* discarded = new AnchoredPopup(&window);
    QPointer<AnchoredPopup> watch = discarded;
    discarded->setOnDismiss([&] { ++dismissals; });
    discarded->showAnchored(&window, QRect(10, 10, 40, 20));
    discarded->discard();
    EXPECT_FALSE(discarded->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
    EXPECT_EQ(dismissals, 3);
}

TEST(AnchoredPopupTest, OpensOnThePreferredSideWhenItFitsAndStaysOnTheScreen) {
    const QRect screen(0, 0, 1000, 800);
    // Below, centred on the anchor.
    EXPECT_EQ(
        AnchoredPopup::placement(QRect(400, 100, 100, 20), QSize(200, 100), screen, Qt::BottomEdge),
        QRect(350, 126, 200, 100));
    // No room below: above.
    EXPECT_EQ(
        AnchoredPopup::placement(QRect(400, 750, 100, 20), QSize(200, 100), screen, Qt::BottomEdge),
        QRect(350, 644, 200, 100));
    // At the left edge: pushed inside.
    EXPECT_EQ(
        AnchoredPopup::placement(QRect(0, 100, 20, 20), QSize(200, 100), screen, Qt::BottomEdge)
            .left(),
        0);
}

TEST(IconRegistryTest, DrawsBundledIconsInTheAskedColourAndLogsAnUnknownNameOnce) {
    auto logger = std::make_shared<test::RecordingLogger>();
    const IconRegistry icons(logger);

    const QImage drawn = icons.pixmap("play.fill", QSize(24, 24), QColor(255, 0, 0), 2.0).toImage();
    ASSERT_EQ(drawn.size(), QSize(48, 48));
    const QColor centre = drawn.pixelColor(24, 24);
    EXPECT_EQ(centre.red(), 255);
    EXPECT_EQ(centre.green(), 0);
    EXPECT_EQ(drawn.pixelColor(0, 0).alpha(), 0);
    EXPECT_FALSE(icons.icon("xmark").isNull());

    EXPECT_TRUE(icons.icon("no.such.symbol").isNull());
    EXPECT_TRUE(icons.pixmap("no.such.symbol", QSize(16, 16)).isNull());
    EXPECT_EQ(logger->messages(), std::vector<std::string>{"[App] Unknown icon no.such.symbol"});
}

TEST(ElidedLabelTest, KeepsBothEndsOfALongNameAndShowsMarkupAsText) {
    ElidedLabel label(QStringLiteral("<b>holiday</b> in the mountains with everyone.mov"));
    label.resize(120, 20);
    const QString drawn = label.displayedText();
    EXPECT_TRUE(drawn.startsWith(QStringLiteral("<b>"))) << drawn.toStdString();
    EXPECT_TRUE(drawn.endsWith(QStringLiteral(".mov"))) << drawn.toStdString();
    EXPECT_TRUE(drawn.contains(QChar(0x2026)));
    label.resize(2000, 20);
    EXPECT_EQ(label.displayedText(), label.text());

    // Tool tips and titles of untrusted text read back as written.
    for (const QString& name : {QStringLiteral("<b>bold</b> & <i>x</i>"), QStringLiteral("a  b\nc"),
                                QStringLiteral("Tom & Jerry")}) {
        QTextDocument document;
        document.setHtml(plainToolTip(name));
        EXPECT_EQ(document.toPlainText(), name);
    }
    EXPECT_EQ(escapeMnemonic(QStringLiteral("Tom & Jerry")), QStringLiteral("Tom && Jerry"));

    // A name of millions of characters (a project file may hold one) is
    // shaped only as far as a line shows it: both ends still show, the size
    // asked for is that of the part shown, and the tip is its beginning.
    const QString huge = QStringLiteral("start ") + QString(2'000'000, QLatin1Char('m')) +
                         QStringLiteral(" end.mov");
    ElidedLabel hugeLabel(huge);
    hugeLabel.resize(300, 20);
    EXPECT_TRUE(hugeLabel.displayedText().startsWith(QStringLiteral("start m")));
    EXPECT_TRUE(hugeLabel.displayedText().endsWith(QStringLiteral("m end.mov")));
    EXPECT_LE(hugeLabel.sizeHint().width(),
              hugeLabel.fontMetrics().horizontalAdvance(QString(maxShownLength + 40, 'm')));
    QTextDocument tip;
    tip.setHtml(plainToolTip(huge));
    EXPECT_TRUE(tip.toPlainText() == huge.first(maxShownLength) + QChar(0x2026));

    // Whatever the cut, no character of two UTF-16 units is split.
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");
    for (const QString& start : {QString(), QStringLiteral("x")}) {
        const QString faces = start + face.repeated(maxShownLength);
        for (Qt::TextElideMode mode : {Qt::ElideLeft, Qt::ElideMiddle, Qt::ElideRight}) {
            const QString part = shownPart(faces, mode);
            EXPECT_TRUE(part.isValidUtf16()) << mode;
            EXPECT_LE(part.size(), maxShownLength + 1) << mode;
            EXPECT_GE(part.size(), maxShownLength - 2) << mode;
        }
    }
}

TEST(TactileButtonTest, ShrinksWhilePressedAndNeverTakesTheFocus) {
    TactileButton button(QStringLiteral("Send"));
    button.resize(80, 30);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    EXPECT_EQ(button.focusPolicy(), Qt::NoFocus);
    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(button.faceScale(), 0.95);
    QTest::mouseRelease(&button, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(button.faceScale(), 1.0);
}

} // namespace
