#pragma once

#include "foundation/CancellationError.h"
#include "presentation/viewmodels/runtime/Clock.h"
#include "presentation/viewmodels/runtime/PendingWait.h"
#include "presentation/viewmodels/runtime/Sleep.h"

#include <QCoro/QCoroTask>

#include <algorithm>
#include <chrono>
#include <memory>
#include <stop_token>
#include <vector>

namespace vexel::test {

// The clock and the sleeps of view models under test: time stands still until
// the test advances it, and a sleep ends when the time passes its end. Sleeps
// honour their stop tokens like the real one (the cancelled sleeper resumes from
// the event loop).
class ManualTime final : public Clock {
public:
    std::chrono::system_clock::time_point now() const override {
        return start_ + std::chrono::duration_cast<std::chrono::system_clock::duration>(elapsed_);
    }

    SleepAction sleepAction() {
        return [this](std::chrono::duration<double> delay, std::stop_token stop) {
            return sleep(this, delay, std::move(stop));
        };
    }

    // Moves the time on and ends, in the order of their ends, the sleeps due by
    // then; a sleeper woken here runs at once, inside this call.
    void advance(std::chrono::duration<double> by) {
        elapsed_ += by;
        for (;;) {
            std::erase_if(sleeps_, [](const Sleep& sleep) { return sleep.wait->hasEnded(); });
            const auto due =
                std::min_element(sleeps_.begin(), sleeps_.end(),
                                 [](const Sleep& a, const Sleep& b) { return a.end < b.end; });
            if (due == sleeps_.end() || due->end > elapsed_) {
                return;
            }
            const std::shared_ptr<PendingWait> wait = due->wait;
            sleeps_.erase(due);
            wait->wake();
        }
    }

    // Sleeps neither over nor cancelled (a cancellation counts once the event
    // loop has handled it).
    std::size_t pendingSleeps() const {
        return static_cast<std::size_t>(
            std::count_if(sleeps_.begin(), sleeps_.end(),
                          [](const Sleep& sleep) { return !sleep.wait->hasEnded(); }));
    }

    // Every delay asked for, in seconds.
    const std::vector<double>& requestedDelays() const { return requestedDelays_; }

private:
    struct Sleep {
        std::chrono::duration<double> end;
        std::shared_ptr<PendingWait> wait;
    };

    static QCoro::Task<void> sleep(ManualTime* self, std::chrono::duration<double> delay,
                                   std::stop_token stop) {
        self->requestedDelays_.push_back(delay.count());
        throwIfCancelled(stop);
        if (!(delay.count() > 0)) {
            co_return;
        }
        auto wait = std::make_shared<PendingWait>();
        self->sleeps_.push_back({self->elapsed_ + delay, wait});
        co_await PendingWait::wait(wait, stop);
    }

    std::chrono::system_clock::time_point start_ =
        std::chrono::system_clock::time_point(std::chrono::hours(24 * 365 * 50));
    std::chrono::duration<double> elapsed_{0};
    std::vector<Sleep> sleeps_;
    std::vector<double> requestedDelays_;
};

} // namespace vexel::test
