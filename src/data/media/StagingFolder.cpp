#include "data/media/StagingFolder.h"

#include "foundation/PrivateFolder.h"

namespace vexel {

std::filesystem::path stagingFolderPath() {
    return privateFolderPath("com.vexel.staged");
}

std::filesystem::path ensureStagingFolder() {
    std::filesystem::path folder = stagingFolderPath();
    ensurePrivateFolder(folder);
    return folder;
}

} // namespace vexel
