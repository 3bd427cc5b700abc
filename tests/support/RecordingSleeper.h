#pragma once

#include "foundation/CancellationError.h"
#include "foundation/Sleeper.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

namespace vexel::test {

// Records every requested delay in seconds. Without a sleeper to forward to it
// returns at once (after honouring a stop request), so retry tests take no time.
class RecordingSleeper final : public Sleeper {
public:
    explicit RecordingSleeper(std::shared_ptr<Sleeper> forwardTo = nullptr)
        : forwardTo_(std::move(forwardTo)) {}

    void sleepFor(std::chrono::duration<double> delay, std::stop_token stop) override {
        {
            std::lock_guard lock(mutex_);
            delays_.push_back(delay.count());
        }
        if (forwardTo_) {
            forwardTo_->sleepFor(delay, stop);
        } else {
            throwIfCancelled(stop);
        }
    }

    std::vector<double> delays() const {
        std::lock_guard lock(mutex_);
        return delays_;
    }

private:
    std::shared_ptr<Sleeper> forwardTo_;
    mutable std::mutex mutex_;
    std::vector<double> delays_;
};

} // namespace vexel::test
