#include "presentation/views/OverlayKeyPressFilter.h"

#include "domain/entities/ModelFixtures.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;

namespace {

struct Request {
    std::string clip;
    std::string kind;
    double first;
    double second;
    friend bool operator==(const Request&, const Request&) = default;
};

void PrintTo(const Request& request, std::ostream* out) {
    *out << request.clip << ' ' << request.kind << '(' << request.first << ", " << request.second
         << ')';
}

// An overlay view in miniature: an object with the filter installed, which
// records the requests the keys make.
struct OverlayKeyPressFilterTest : ::testing::Test {
    std::vector<Request> requests;
    QObject overlay;
    OverlayKeyPressFilter filter{OverlayKeyPressModifier{
        .clip = makeClip(0, 5, TrackType::text, "title"),
        .onArrow =
            [this](const Clip& clip, double dx, double dy) {
                requests.push_back({clip.assetName, "arrow", dx, dy});
            },
        .onScale =
            [this](const Clip& clip, double delta) {
                requests.push_back({clip.assetName, "scale", delta, 0});
            },
    }};

    OverlayKeyPressFilterTest() { overlay.installEventFilter(&filter); }

    // Sends the event and tells whether it went no further.
    bool send(QEvent::Type type, int key, const QString& text, bool autoRepeat = false,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent event(type, key, modifiers, text, autoRepeat);
        event.ignore();
        const bool taken = QCoreApplication::sendEvent(&overlay, &event);
        return taken && event.isAccepted();
    }
};

} // namespace

TEST_F(OverlayKeyPressFilterTest, ArrowsNudgeAndPlusAndMinusScale) {
    struct Case {
        int key;
        QString text;
        Qt::KeyboardModifiers modifiers;
        std::vector<Request> expected;
    };
    const std::vector<Case> cases{
        {Qt::Key_Left, "", Qt::NoModifier, {{"title", "arrow", -0.01, 0}}},
        {Qt::Key_Right, "", Qt::NoModifier, {{"title", "arrow", 0.01, 0}}},
        {Qt::Key_Up, "", Qt::NoModifier, {{"title", "arrow", 0, -0.01}}},
        {Qt::Key_Down, "", Qt::NoModifier, {{"title", "arrow", 0, 0.01}}},
        {Qt::Key_Plus, "+", Qt::ShiftModifier, {{"title", "scale", 0.1, 0}}},
        {Qt::Key_Plus, "+", Qt::KeypadModifier, {{"title", "scale", 0.1, 0}}},
        {Qt::Key_Minus, "-", Qt::NoModifier, {{"title", "scale", -0.1, 0}}},
        // "=" is the unshifted plus key of many layouts: only "+" scales.
        {Qt::Key_Equal, "=", Qt::NoModifier, {}},
        {Qt::Key_A, "a", Qt::NoModifier, {}},
        // With Ctrl, Alt or Meta a key is a command's: Ctrl+- zooms out.
        {Qt::Key_Minus, "-", Qt::ControlModifier, {}},
        {Qt::Key_Plus, "+", Qt::ControlModifier | Qt::ShiftModifier, {}},
        {Qt::Key_Left, "", Qt::AltModifier, {}},
        {Qt::Key_Right, "", Qt::MetaModifier, {}},
        {Qt::Key_Up, "", Qt::ControlModifier | Qt::KeypadModifier, {}},
        {Qt::Key_Down, "", Qt::ShiftModifier, {{"title", "arrow", 0, 0.01}}},
    };
    for (const Case& c : cases) {
        requests.clear();
        const bool handled = !c.expected.empty();
        EXPECT_EQ(send(QEvent::ShortcutOverride, c.key, c.text, false, c.modifiers), handled)
            << c.text.toStdString() << ' ' << c.key;
        EXPECT_EQ(send(QEvent::KeyPress, c.key, c.text, false, c.modifiers), handled)
            << c.text.toStdString() << ' ' << c.key;
        // Releases do nothing and pass on.
        EXPECT_FALSE(send(QEvent::KeyRelease, c.key, c.text, false, c.modifiers));
        EXPECT_EQ(requests, c.expected) << c.text.toStdString() << ' ' << c.key;
    }
}

TEST_F(OverlayKeyPressFilterTest, HoldingAKeyMakesOneRequestPerRepeatForTheCurrentClip) {
    send(QEvent::KeyPress, Qt::Key_Right, "");
    for (int repeat = 0; repeat < 3; ++repeat) {
        send(QEvent::KeyRelease, Qt::Key_Right, "", true);
        send(QEvent::KeyPress, Qt::Key_Right, "", true);
    }
    send(QEvent::KeyRelease, Qt::Key_Right, "");
    EXPECT_EQ(requests, std::vector<Request>(4, {"title", "arrow", 0.01, 0}));

    // The view hands over its changed clip; requests carry the new one.
    requests.clear();
    filter.modifier().clip.assetName = "renamed";
    send(QEvent::KeyPress, Qt::Key_Minus, "-");
    send(QEvent::KeyPress, Qt::Key_Minus, "-", true);
    EXPECT_EQ(requests, std::vector<Request>(2, {"renamed", "scale", -0.1, 0}));

    // With no overlay to move, every key passes on.
    requests.clear();
    filter.setEnabled(false);
    EXPECT_FALSE(send(QEvent::ShortcutOverride, Qt::Key_Left, ""));
    EXPECT_FALSE(send(QEvent::KeyPress, Qt::Key_Left, ""));
    EXPECT_FALSE(send(QEvent::KeyPress, Qt::Key_Minus, "-"));
    EXPECT_TRUE(requests.empty());
}
