#include "presentation/views/kit/Motion.h"

#include <QCoreApplication>
#include <QVariant>

namespace vexel {

namespace {

constexpr const char* reduceMotionProperty = "vexelReduceMotion";

} // namespace

bool reduceMotion() {
    const QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr && application->property(reduceMotionProperty).toBool();
}

void setReduceMotion(bool reduce) {
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->setProperty(reduceMotionProperty, reduce);
    }
}

std::chrono::milliseconds animationDuration(std::chrono::milliseconds duration) {
    return reduceMotion() ? std::chrono::milliseconds(0) : duration;
}

} // namespace vexel
