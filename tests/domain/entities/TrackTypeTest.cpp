#include "domain/entities/TrackType.h"
#include "domain/entities/TimeRange.h"

#include "foundation/DecodeError.h"
#include "foundation/JsonReader.h"

#include <gtest/gtest.h>

using namespace vexel;

TEST(TrackType, InfersFromExtensionInAnyCase) {
    EXPECT_EQ(inferTrackType("MOV"), TrackType::video);
    EXPECT_EQ(inferTrackType("m4a"), TrackType::audio);
    EXPECT_EQ(inferTrackType("HeIc"), TrackType::image);
    EXPECT_FALSE(inferTrackType("txt").has_value());
    EXPECT_FALSE(inferTrackType("").has_value());
    EXPECT_FALSE(inferTrackType(".mp4").has_value());
}

TEST(TrackType, PlaceholderLaneIdsAndWords) {
    EXPECT_EQ(placeholderTrackID(TrackType::video).string(),
              "00000000-0000-0000-0000-000000000001");
    EXPECT_EQ(placeholderTrackID(TrackType::audio).string(),
              "00000000-0000-0000-0000-000000000004");
    EXPECT_EQ(baseWord(TrackType::image), "Image");
}

TEST(TrackType, EncodedFormIsABareCaseSensitiveString) {
    EXPECT_EQ(Json(TrackType::text).dump(), "\"text\"");
    EXPECT_EQ(json::parse("\"audio\"").get<TrackType>(), TrackType::audio);
    EXPECT_THROW(json::parse("\"Audio\"").get<TrackType>(), DecodeError);
    try {
        json::parse("3").get<TrackType>();
        FAIL();
    } catch (const DecodeError& error) {
        EXPECT_EQ(error.kind(), DecodeError::Kind::typeMismatch);
    }
}

TEST(TimeRange, EncodedFormRoundTripsAndRequiresBothMembers) {
    TimeRange range{1.5, 2};
    Json encoded = range;
    EXPECT_EQ(encoded.dump(), R"({"startTime":1.5,"duration":2.0})");
    EXPECT_EQ(encoded.get<TimeRange>(), range);
    EXPECT_THROW(json::parse(R"({"startTime":1})").get<TimeRange>(), DecodeError);
    EXPECT_EQ(json::parse(R"({"startTime":-1,"duration":-5})").get<TimeRange>(),
              (TimeRange{-1, -5}));
}
