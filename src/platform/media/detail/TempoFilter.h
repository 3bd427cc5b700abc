#pragma once

// Changes the speed of interleaved 16-bit audio keeping its pitch, through
// libavfilter's atempo, and hands out interleaved float. Internal to the
// media layer.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vexel::media::detail {

class TempoFilter {
public:
    // `speed` > 1 plays faster (shorter). Throws MediaError (invalidArgument)
    // unless 1/64 <= speed <= 64, or (unsupported) when the filter graph
    // cannot be built.
    TempoFilter(double speed, int sampleRate, int channelCount);
    ~TempoFilter();

    TempoFilter(const TempoFilter&) = delete;
    TempoFilter& operator=(const TempoFilter&) = delete;

    void push(const std::int16_t* interleaved, int frames);
    // No more input: what the filter still holds comes out with the next pull.
    void finish();
    // Appends what the filter has ready.
    void pull(std::vector<float>& interleaved);

    // atempo takes 0.5 to 2 per stage best: the stages whose product is `speed`.
    static std::vector<double> stages(double speed);

    struct Graph;

private:
    std::unique_ptr<Graph> graph_;
    int sampleRate_;
    int channelCount_;
    std::int64_t nextPts_ = 0;
};

} // namespace vexel::media::detail
