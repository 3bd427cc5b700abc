#include "presentation/helpers/FileNameText.h"

#include "foundation/UnicodeText.h"

namespace vexel {

std::string displayFileName(const std::filesystem::path& path) {
    return unicode::replacingInvalidUtf8(path.filename().string());
}

} // namespace vexel
