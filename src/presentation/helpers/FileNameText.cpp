#include "presentation/helpers/FileNameText.h"

#include <unicode/utf8.h>

#include <cstdint>

namespace vexel {

std::string displayFileName(const std::filesystem::path& path) {
    const std::string bytes = path.filename().string();
    std::string text;
    text.reserve(bytes.size());
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const auto length = static_cast<std::int32_t>(bytes.size());
    std::int32_t i = 0;
    while (i < length) {
        const std::int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(data, i, length, c);
        if (c < 0) {
            text += "\xEF\xBF\xBD";
        } else {
            text.append(bytes, static_cast<std::size_t>(start),
                        static_cast<std::size_t>(i - start));
        }
    }
    return text;
}

} // namespace vexel
