#pragma once

#include "presentation/cache/WaveformCache.h"
#include "presentation/cache/WaveformSamples.h"

#include <QObject>
#include <QThreadPool>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <stop_token>
#include <vector>

namespace vexel {

// Brings the clip bars the waveforms of their files: from the waveform cache
// at once when it holds them, else from one extraction per file on a worker
// thread, however many bars ask for it, stored in the cache and announced on
// the GUI thread. A bar that is gone by then simply hears nothing. A failed
// extraction shows nothing; a later request tries again.
//
// GUI thread only. Destroying the loader stops waiting for the extractions
// still under way and waits for its workers, so it must go before the
// extractor it calls.
class WaveformLoader : public QObject {
    Q_OBJECT

public:
    // Blocks while the file is read; one peak in 0 ... 1 per bucket. Called on
    // a worker thread, several at once.
    using Extract = std::function<std::vector<float>(const std::filesystem::path& file,
                                                     int bucketCount, std::stop_token stop)>;

    // The number of levels a clip bar draws.
    static constexpr int bucketCount = 200;
    // Workers waiting on extractions at once; one more than the waveform
    // service runs, so that it always has the next one at hand.
    static constexpr int maxConcurrent = 4;

    WaveformLoader(WaveformCache& cache, Extract extract, QObject* parent = nullptr);
    ~WaveformLoader() override;

    // The file's samples when the cache holds them. Otherwise none, and the
    // file's extraction starts unless it is already under way; `loaded` tells
    // when it has succeeded.
    std::shared_ptr<const WaveformSamples> request(const std::filesystem::path& file);

    // Files whose extraction is under way.
    std::size_t loadingCount() const { return loading_.size(); }

signals:
    void loaded(const std::filesystem::path& file, std::shared_ptr<const WaveformSamples> samples);

private:
    void finish(const std::filesystem::path& file, std::optional<std::vector<float>> values);

    WaveformCache& cache_;
    std::shared_ptr<const Extract> extract_;
    std::set<std::filesystem::path> loading_;
    std::stop_source stop_;
    // Last: its workers are done before the state above goes.
    QThreadPool workers_;
};

} // namespace vexel
