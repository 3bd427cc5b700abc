#pragma once

#include "domain/protocols/WaveformExtracting.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

namespace vexel {

// Runs waveform extractions for the timeline's clip bars on a few worker
// threads of its own. Requests wait for a free worker in arrival order; a
// request for a file whose extraction is already waiting or running shares
// that extraction and receives its result, whatever bucket count it asked for.
// Results are not kept once handed out (the waveform cache keeps them).
// Safe to call from any number of threads; every call must have returned
// before the service is destroyed.
class WaveformService {
public:
    static constexpr int defaultMaxConcurrent = 3;

    // Throws std::invalid_argument when `maxConcurrent` is below 1 or the
    // extractor is null.
    explicit WaveformService(std::shared_ptr<const WaveformExtracting> extractor,
                             int maxConcurrent = defaultMaxConcurrent);
    // With a RealWaveformExtractor.
    WaveformService();
    ~WaveformService();

    WaveformService(const WaveformService&) = delete;
    WaveformService& operator=(const WaveformService&) = delete;

    // Blocks until the file's extraction ends and returns its peaks or throws
    // its error; every caller sharing the extraction gets the same outcome.
    // Throws CancellationError when `stop` is requested first: the caller
    // stops waiting, an extraction that has started runs on to its end for the
    // others, and one that nobody waits for any more is not started.
    std::vector<float> extract(const std::filesystem::path& url, int bucketCount,
                               std::stop_token stop = {});

    // Callers blocked in extract, waiting for a worker or for a result.
    std::size_t waitingCallerCount() const;

private:
    struct Extraction;

    void work(std::stop_token stop);
    void abandon(const std::shared_ptr<Extraction>& extraction);
    void forget(const std::shared_ptr<Extraction>& extraction);

    const std::shared_ptr<const WaveformExtracting> extractor_;

    mutable std::mutex mutex_;
    std::condition_variable_any extractionQueued_;
    std::condition_variable_any extractionEnded_;
    // Extractions waiting for a worker, oldest first.
    std::deque<std::shared_ptr<Extraction>> queue_;
    // The waiting or running extraction of each file.
    std::map<std::filesystem::path, std::shared_ptr<Extraction>> inFlight_;
    std::size_t waitingCallers_ = 0;

    // Last: stopped and joined before the state above goes.
    std::vector<std::jthread> workers_;
};

} // namespace vexel
