#pragma once

#include "data/media/FFmpegMediaLoader.h"
#include "data/repositories/InMemoryProjectRepository.h"
#include "domain/usecases/DefaultHandlers.h"
#include "foundation/Logger.h"
#include "presentation/viewmodels/ErrorBannerViewModel.h"
#include "presentation/viewmodels/TimelineViewModel.h"
#include "presentation/views/kit/EditRunner.h"
#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/timeline/TimelinePanel.h"
#include "support/FakeExportService.h"

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <memory>

namespace vexel::bench {

// The timeline panel of a window 1240 x 320 over the real edit engine and
// repository, shown on the offscreen platform.
struct BenchTimeline {
    explicit BenchTimeline(Project project)
        : repository(std::make_shared<InMemoryProjectRepository>(project))
        , timeline(repository->load(), banner,
                   WrappedEditCommandExecutor(
                       std::make_shared<DefaultEditCommandExecutor>(makeDefaultEditCommandExecutor(
                           repository, std::make_shared<FFmpegMediaLoader>(),
                           std::make_shared<vexel::testing::FakeExportService>())))) {
        timeline.setOnProjectSync([this](const Project& synced) { repository->save(synced); });
        panel = new TimelinePanel(timeline, nullptr, runner, icons, nullptr, &window);
        window.resize(1240, 320);
        panel->setGeometry(0, 0, 1240, 320);
        window.show();
        QApplication::processEvents();
    }

    // Draws the whole window, as a repaint of the screen would.
    void paint() {
        canvas.fill(Qt::black);
        window.render(&canvas);
    }

    std::shared_ptr<Logger> logger = std::make_shared<NullLogger>();
    std::shared_ptr<InMemoryProjectRepository> repository;
    ErrorBannerViewModel banner{logger};
    TimelineViewModel timeline;
    IconRegistry icons{logger};
    EditRunner runner{banner, std::make_shared<SystemClock>(), logger};
    QWidget window;
    TimelinePanel* panel = nullptr;
    QImage canvas{1240, 320, QImage::Format_ARGB32_Premultiplied};
};

} // namespace vexel::bench
