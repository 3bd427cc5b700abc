#pragma once

namespace vexel {

// How far an export has come.
struct ExportProgress {
    enum class Phase { preparing, transferring, finalizing };

    Phase phase = Phase::preparing;
    // 0 to 1.
    double fraction = 0;

    friend bool operator==(const ExportProgress&, const ExportProgress&) = default;
};

} // namespace vexel
