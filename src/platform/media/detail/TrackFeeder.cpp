#include "platform/media/detail/TrackFeeder.h"

#include "platform/media/MediaError.h"
#include "platform/media/detail/SourceRunReader.h"

#include <algorithm>

namespace vexel::media::detail {

void TrackFeeder::Progress::advance(std::int64_t frame) {
    std::lock_guard lock(mutex_);
    frame_ = frame;
    changed_.notify_all();
}

bool TrackFeeder::Progress::waitUntil(std::int64_t frame) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return stopped_ || frame_ >= frame; });
    return !stopped_;
}

void TrackFeeder::Progress::stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
}

TrackFeeder::TrackFeeder(const CompositionTrack& track, const FrameGrid& grid, Progress& progress,
                         std::size_t decodedAhead, std::int64_t primeAhead,
                         std::optional<int> decoderThreads)
    : track_(track)
    , grid_(grid)
    , progress_(progress)
    , primeAhead_(primeAhead)
    , decoderThreads_(decoderThreads)
    , decoded_(decodedAhead) {}

TrackFeeder::~TrackFeeder() {
    stop();
    join();
}

void TrackFeeder::start(const Guard& guard) {
    opener_ = std::thread([this, guard] { guard([this] { openRuns(); }); });
    decoder_ = std::thread([this, guard] { guard([this] { decodeRuns(); }); });
}

bool TrackFeeder::showsMediaAt(std::int64_t n) const {
    return mediaShownAt(track_, grid_.time(n)).has_value();
}

std::optional<PixelBuffer> TrackFeeder::next(std::int64_t n) {
    std::optional<Decoded> decoded = decoded_.pop();
    if (!decoded) {
        return std::nullopt;
    }
    if (decoded->frame != n) {
        throw MediaError(MediaError::Kind::invalidState,
                         "Track " + std::to_string(trackID()) + " gave frame " +
                             std::to_string(decoded->frame) + " for frame " + std::to_string(n));
    }
    return std::move(decoded->buffer);
}

void TrackFeeder::stop() {
    std::vector<std::shared_ptr<SourceRunReader>> open;
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        for (const auto& reader : readers_) {
            if (auto live = reader.lock()) {
                open.push_back(std::move(live));
            }
        }
        changed_.notify_all();
    }
    for (const auto& reader : open) {
        reader->cancel();
    }
    decoded_.abort();
}

void TrackFeeder::join() {
    if (opener_.joinable()) {
        opener_.join();
    }
    if (decoder_.joinable()) {
        decoder_.join();
    }
}

void TrackFeeder::openRuns() {
    std::int64_t from = grid_.first;
    while (std::optional<SourceRun> run = nextSourceRun(track_, grid_, from)) {
        from = run->end;
        {
            // One run decoding and one opened: no more decoders than that.
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stopped_ || !primed_; });
            if (stopped_) {
                return;
            }
        }
        if (!progress_.waitUntil(run->first - primeAhead_)) {
            return;
        }
        Primed primed{*run, std::make_shared<SourceRunReader>(*run, decoderThreads_), nullptr};
        {
            std::lock_guard lock(mutex_);
            if (stopped_) {
                return;
            }
            std::erase_if(readers_, [](const auto& reader) { return reader.expired(); });
            readers_.push_back(primed.reader);
        }
        try {
            primed.reader->prime();
        } catch (...) {
            // Reported when the run is due, as reading it would have.
            primed.error = std::current_exception();
        }
        bool failed = primed.error != nullptr;
        {
            std::lock_guard lock(mutex_);
            primed_ = std::move(primed);
            changed_.notify_all();
        }
        if (failed) {
            return;
        }
    }
    std::lock_guard lock(mutex_);
    openingEnded_ = true;
    changed_.notify_all();
}

void TrackFeeder::decodeRuns() {
    while (true) {
        Primed primed;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stopped_ || primed_ || openingEnded_; });
            if (stopped_ || !primed_) {
                break;
            }
            primed = std::move(*primed_);
            primed_.reset();
            changed_.notify_all();
        }
        if (primed.error) {
            std::rethrow_exception(primed.error);
        }
        for (std::int64_t n = primed.run.first; n < primed.run.end; ++n) {
            std::optional<ShownMedia> shown = mediaShownAt(track_, grid_.time(n));
            PixelBuffer frame = shown ? primed.reader->frameAt(shown->sourceTime) : PixelBuffer{};
            if (!decoded_.push({n, std::move(frame)})) {
                return;
            }
        }
    }
    decoded_.close();
}

} // namespace vexel::media::detail
