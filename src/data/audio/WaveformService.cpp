#include "data/audio/WaveformService.h"

#include "data/audio/RealWaveformExtractor.h"
#include "foundation/CancellationError.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

namespace vexel {

struct WaveformService::Extraction {
    std::filesystem::path url;
    int bucketCount = 0;
    // Callers still waiting for the outcome.
    int callers = 0;
    bool started = false;
    bool ended = false;
    std::vector<float> peaks;
    std::exception_ptr error;
};

WaveformService::WaveformService(std::shared_ptr<const WaveformExtracting> extractor,
                                 int maxConcurrent)
    : extractor_(std::move(extractor)) {
    if (!extractor_ || maxConcurrent < 1) {
        throw std::invalid_argument("WaveformService needs an extractor and at least one worker");
    }
    workers_.reserve(static_cast<std::size_t>(maxConcurrent));
    for (int i = 0; i < maxConcurrent; ++i) {
        workers_.emplace_back([this](std::stop_token stop) { work(std::move(stop)); });
    }
}

WaveformService::WaveformService()
    : WaveformService(std::make_shared<RealWaveformExtractor>()) {}

WaveformService::~WaveformService() {
    // Running extractions see the stop through their token and end early.
    for (std::jthread& worker : workers_) {
        worker.request_stop();
    }
    workers_.clear();
}

std::vector<float> WaveformService::extract(const std::filesystem::path& url, int bucketCount,
                                            std::stop_token stop) {
    std::unique_lock lock(mutex_);
    std::shared_ptr<Extraction> extraction;
    if (auto found = inFlight_.find(url); found != inFlight_.end()) {
        extraction = found->second;
    } else {
        extraction = std::make_shared<Extraction>();
        extraction->url = url;
        extraction->bucketCount = bucketCount;
        inFlight_.emplace(url, extraction);
        queue_.push_back(extraction);
        extractionQueued_.notify_one();
    }
    ++extraction->callers;
    ++waitingCallers_;
    bool ended = extractionEnded_.wait(lock, stop, [&] { return extraction->ended; });
    --extraction->callers;
    --waitingCallers_;
    if (!ended) {
        abandon(extraction);
        throw CancellationError();
    }
    if (extraction->error) {
        std::rethrow_exception(extraction->error);
    }
    return extraction->peaks;
}

// Drops an extraction that has not started and that no caller waits for.
void WaveformService::abandon(const std::shared_ptr<Extraction>& extraction) {
    if (extraction->callers > 0 || extraction->started) {
        return;
    }
    std::erase(queue_, extraction);
    forget(extraction);
}

void WaveformService::forget(const std::shared_ptr<Extraction>& extraction) {
    if (auto found = inFlight_.find(extraction->url);
        found != inFlight_.end() && found->second == extraction) {
        inFlight_.erase(found);
    }
}

std::size_t WaveformService::waitingCallerCount() const {
    std::lock_guard lock(mutex_);
    return waitingCallers_;
}

void WaveformService::work(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    while (extractionQueued_.wait(lock, stop, [&] { return !queue_.empty(); })) {
        std::shared_ptr<Extraction> extraction = std::move(queue_.front());
        queue_.pop_front();
        extraction->started = true;
        lock.unlock();

        std::vector<float> peaks;
        std::exception_ptr error;
        try {
            peaks = extractor_->extract(extraction->url, extraction->bucketCount, stop);
        } catch (...) {
            error = std::current_exception();
        }

        lock.lock();
        extraction->peaks = std::move(peaks);
        extraction->error = std::move(error);
        extraction->ended = true;
        // The next request for the file starts afresh, after a failure too.
        forget(extraction);
        extractionEnded_.notify_all();
    }
}

} // namespace vexel
