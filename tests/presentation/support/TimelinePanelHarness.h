#pragma once

#include "platform/playback/ManualClock.h"
#include "platform/playback/Player.h"
#include "platform/playback/SilentAudioSink.h"
#include "presentation/support/ConversationHarness.h"
#include "presentation/support/EventLoop.h"
#include "presentation/viewmodels/PreviewViewModel.h"
#include "presentation/views/kit/EditRunner.h"
#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/timeline/TimelineContentView.h"
#include "presentation/views/timeline/TimelinePanel.h"
#include "support/RunEventsUntil.h"

#include <QApplication>
#include <QLayout>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>

namespace vexel::test {

// The timeline panel on screen over the real edit engine (the timeline of a
// ConversationHarness) and a real preview that plays nothing, with the
// application's edit reporting.
struct TimelinePanelHarness {
    explicit TimelinePanelHarness(
        Project project, bool withPreview = true, QSize size = QSize(900, 320),
        std::shared_ptr<MediaLoader> loader = std::make_shared<vexel::testing::FakeMediaLoader>())
        : conversation(std::move(project), std::move(loader)) {
        if (withPreview) {
            auto clock = std::make_shared<vexel::testing::ManualClock>();
            preview = std::make_unique<PreviewViewModel>(
                conversation.timeline.project().maxDuration, PreviewViewModel::ItemBuild{},
                timerDisplayLinks(std::nullopt), conversation.logger,
                std::make_unique<playback::Player>(
                    clock, std::make_unique<playback::SilentAudioSink>(clock)));
        }
        panel = new TimelinePanel(conversation.timeline, preview.get(), runner, icons, nullptr,
                                  &window);
        window.resize(size);
        panel->setGeometry(QRect(QPoint(0, 0), size));
        window.show();
        QApplication::processEvents();
    }

    // Tasks the last events started (a banner's dismissal) begin while the
    // clock they wait on is still there.
    ~TimelinePanelHarness() { settle(); }

    TimelineViewModel& timeline() { return conversation.timeline; }
    ErrorBannerViewModel& banner() { return conversation.banner; }

    // Resizes the panel so that its timeline content gets `height` pixels.
    void setContentHeight(int width, int height) {
        panel->resize(width, 600);
        panel->layout()->activate();
        const int around = 600 - panel->content()->height();
        window.resize(width, around + height);
        panel->resize(width, around + height);
        panel->layout()->activate();
    }

    // The banner's text once an edit has been reported; none when nothing
    // was within the time limit.
    std::optional<std::string> awaitBanner() {
        vexel::testing::runEventsUntil([&] { return banner().currentError().has_value(); },
                                       std::chrono::seconds(5));
        if (!banner().currentError()) {
            return std::nullopt;
        }
        return banner().currentError()->message;
    }

    ConversationHarness conversation;
    std::unique_ptr<PreviewViewModel> preview;
    IconRegistry icons{conversation.logger};
    EditRunner runner{conversation.banner, conversation.time, conversation.logger};
    QWidget window;
    TimelinePanel* panel = nullptr;
};

} // namespace vexel::test
