#pragma once

namespace vexel::media {

// Where a reader of media is; numbered as the export's messages report them.
enum class ReadingStatus { unknown = 0, reading = 1, completed = 2, failed = 3, cancelled = 4 };

} // namespace vexel::media
