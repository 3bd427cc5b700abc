// Reads arbitrary bytes as a saved project file and as an auto-save. Bad
// input must end in a decode error, never in a crash. The one-pass reading
// must accept and refuse what the decoding of the whole parsed tree does, with
// the same result. What decodes must keep every media file of a project
// folder inside that folder, and must come back unchanged from being written
// and read again under either path rule.
#include "data/persistence/ProjectFile.h"
#include "domain/entities/PersistenceError.h"
#include "foundation/DecodeError.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

using namespace vexel;

namespace {

const std::filesystem::path kFolder = "/work/My Project";
const std::filesystem::path kMovedFolder = "/elsewhere/Renamed";

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

bool staysInside(const Project& project, const std::filesystem::path& folder) {
    const std::string prefix = folder.string() + "/";
    for (const Track& track : project.tracks) {
        for (const Clip& clip : track.clips) {
            if (!clip.assetURL) {
                continue;
            }
            if (!clip.assetURL->native().starts_with(prefix)) {
                return false;
            }
            for (const auto& component : *clip.assetURL) {
                if (component == ".." || component == ".") {
                    return false;
                }
            }
        }
    }
    return true;
}

// Writes and reads again; false when the project cannot be written (a
// number that overflowed to infinity on reading).
template <class Persist, class Restore>
bool survivesRewriting(const Project& project, ProjectFile::Layout layout, Persist persist,
                       Restore restore) {
    std::string bytes;
    try {
        bytes = ProjectFile{ProjectFile::currentVersion, persist(project)}.encoded(layout);
    } catch (const PersistenceError&) {
        return true;
    }
    return restore(ProjectFile::decoded(bytes).project) == project;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::optional<ProjectFile> throughTree;
    try {
        throughTree = ProjectFile::decodedFrom(ProjectFile::parsed(bytes));
    } catch (const DecodeError&) {
    }
    ProjectFile file;
    try {
        file = ProjectFile::decoded(bytes);
    } catch (const DecodeError&) {
        if (throughTree) {
            fail("the one pass refuses what the parsed tree decodes");
        }
        return 0;
    }
    if (!throughTree || !(*throughTree == file)) {
        fail("the one pass decodes what the parsed tree does not, or differently");
    }

    const Project inFolder = file.project.toProject(kFolder);
    if (!staysInside(inFolder, kFolder)) {
        fail("a stored path leads out of the project folder");
    }
    if (!staysInside(file.project.toProject(kMovedFolder), kMovedFolder)) {
        fail("a stored path leads out of the moved project folder");
    }
    if (!survivesRewriting(
            inFolder, ProjectFile::Layout::prettySortedKeys,
            [](const Project& p) { return PersistedProject::from(p, kFolder); },
            [](const PersistedProject& p) { return p.toProject(kFolder); })) {
        fail("a project folder's file does not survive rewriting");
    }

    const Project autoSaved = file.project.toProjectFromAutoSave();
    if (!survivesRewriting(
            autoSaved, ProjectFile::Layout::compact,
            [](const Project& p) { return PersistedProject::forAutoSave(p); },
            [](const PersistedProject& p) { return p.toProjectFromAutoSave(); })) {
        fail("an auto-save does not survive rewriting");
    }
    return 0;
}
