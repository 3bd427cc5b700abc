#include "presentation/viewmodels/WaveformLoader.h"

#include <QMetaObject>

#include <optional>
#include <utility>

namespace vexel {

WaveformLoader::WaveformLoader(WaveformCache& cache, Extract extract, QObject* parent)
    : QObject(parent)
    , cache_(cache)
    , extract_(std::make_shared<const Extract>(std::move(extract))) {
    workers_.setMaxThreadCount(maxConcurrent);
}

WaveformLoader::~WaveformLoader() {
    stop_.request_stop();
    // Answers posted meanwhile are dropped with this object.
    workers_.waitForDone();
}

std::shared_ptr<const WaveformSamples> WaveformLoader::request(const std::filesystem::path& file) {
    if (std::shared_ptr<const WaveformSamples> cached = cache_.samples(file)) {
        return cached;
    }
    if (!loading_.insert(file).second) {
        return nullptr;
    }
    workers_.start([this, extract = extract_, file, stop = stop_.get_token()] {
        std::optional<std::vector<float>> values;
        try {
            values = (*extract)(file, bucketCount, stop);
        } catch (...) {
            // A file without readable sound draws no waveform; nothing to tell.
        }
        // This object outlives its workers, so posting to it is safe here.
        QMetaObject::invokeMethod(
            this,
            [this, file, values = std::move(values)]() mutable { finish(file, std::move(values)); },
            Qt::QueuedConnection);
    });
    return nullptr;
}

void WaveformLoader::finish(const std::filesystem::path& file,
                            std::optional<std::vector<float>> values) {
    loading_.erase(file);
    if (!values) {
        return;
    }
    emit loaded(file, cache_.store(file, std::move(*values)));
}

} // namespace vexel
