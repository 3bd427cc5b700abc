#pragma once

#include <functional>
#include <utility>

namespace vexel {

// A view-model property that tells its observers of a change, and only of a
// change: storing a value equal to the one held (by the type's ==) is silent,
// so views never redraw or re-enter on a write that changed nothing.
template <class T> class Observable {
public:
    Observable(T initial, std::function<void()> changed)
        : value_(std::move(initial))
        , changed_(std::move(changed)) {}

    Observable(const Observable&) = delete;
    Observable& operator=(const Observable&) = delete;

    const T& get() const { return value_; }

    // Returns whether the value changed. Observers run after the value is
    // stored, so they read the new one.
    bool set(T value) {
        if (value_ == value) {
            return false;
        }
        value_ = std::move(value);
        changed_();
        return true;
    }

private:
    T value_;
    std::function<void()> changed_;
};

} // namespace vexel
