#include "domain/entities/ExportProgress.h"

#include <gtest/gtest.h>

using namespace vexel;

TEST(ExportProgress, EqualWhenPhaseAndFractionAreEqual) {
    using Phase = ExportProgress::Phase;
    EXPECT_EQ((ExportProgress{Phase::transferring, 0.5}),
              (ExportProgress{Phase::transferring, 0.5}));
    EXPECT_NE((ExportProgress{Phase::transferring, 0.5}), (ExportProgress{Phase::finalizing, 0.5}));
    EXPECT_NE((ExportProgress{Phase::transferring, 0.5}),
              (ExportProgress{Phase::transferring, 0.6}));
}
