#include "domain/entities/ExportFormat.h"

#include <gtest/gtest.h>

using namespace vexel;

TEST(ExportFormat, RawValuesMatchExactly) {
    EXPECT_EQ(exportFormatFromRaw("mp4"), ExportFormat::mp4);
    EXPECT_EQ(exportFormatFromRaw("mov"), ExportFormat::mov);
    EXPECT_EQ(rawValue(ExportFormat::mov), "mov");
    EXPECT_FALSE(exportFormatFromRaw("MP4").has_value());
    EXPECT_FALSE(exportFormatFromRaw("m4v").has_value());
    EXPECT_FALSE(exportFormatFromRaw("").has_value());
}
