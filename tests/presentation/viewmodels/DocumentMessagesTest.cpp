#include "presentation/viewmodels/DocumentMessages.h"

#include "domain/entities/PersistenceError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

using namespace vexel;

namespace {

std::error_code code(int value) {
    return {value, std::generic_category()};
}

} // namespace

// What a save or an auto-save ran into, in words the user can act on: the
// causes the disk gives (which a test cannot bring about), the size of a
// project too large, a link or file where a folder belongs.
TEST(DocumentMessagesTest, ASaveFailureSaysWhy) {
    using Reason = UnavailableMedia::Reason;
    const std::uintmax_t mebibyte = 1 << 20;
    struct Case {
        PersistenceError error;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {PersistenceError::assetCopyFailed("project.json").causedBy(code(ENOSPC)),
         "cannot write \u201Cproject.json\u201D: the disk is full"},
        {PersistenceError::assetCopyFailed("clip.mov").causedBy(code(EDQUOT)),
         "cannot copy \u201Cclip.mov\u201D: the disk quota is used up"},
        {PersistenceError::assetCopyFailed("clip.mov").causedBy(code(EIO)),
         "cannot copy \u201Cclip.mov\u201D: input/output error"},
        {PersistenceError::directoryCreationFailed("assets", code(ELOOP)),
         "\u201Cassets\u201D is a link, not a folder"},
        {PersistenceError::directoryCreationFailed("assets", code(ENOTDIR)),
         "\u201Cassets\u201D is not a folder"},
        {PersistenceError::directoryCreationFailed("assets", code(EACCES)),
         "cannot create \u201Cassets\u201D: permission denied"},
        {PersistenceError::directoryCreationFailed({}, code(EROFS)),
         "cannot create the folder: the disk is read-only"},
        {PersistenceError::tooLarge(64 * mebibyte + 1, 64 * mebibyte),
         "the project is too large to save (64.1 MiB; at most 64 MiB can be saved)"},
        {PersistenceError::tooLarge(70 * mebibyte, 64 * mebibyte),
         "the project is too large to save (70 MiB; at most 64 MiB can be saved)"},
        {PersistenceError::encodingFailed(),
         "the project holds a value that cannot be written to a project file"},
        {PersistenceError::mediaUnavailable("a.mov",
                                            {{Uuid::random(), "a.mov", Reason::outsideFolder},
                                             {Uuid::random(), "a.mov", Reason::outsideFolder}}),
         "cannot copy the media of 2 clips: \u201Ca.mov\u201D: the file lies outside the project "
         "folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error.what());
        const documentmessages::FailureText text =
            documentmessages::saveFailed("/home/me/Film.vexel/", std::make_exception_ptr(c.error));
        EXPECT_EQ(text.message, "Failed to save project \u201CFilm.vexel\u201D: " + c.reason);
        EXPECT_FALSE(text.detail);
        std::string sentence = c.reason + ".";
        sentence[0] = static_cast<char>(sentence[0] - 'a' + 'A');
        if (c.reason.starts_with("\u201C")) {
            sentence = c.reason + ".";
        }
        EXPECT_EQ(documentmessages::autoSaveFailureDetail(std::make_exception_ptr(c.error)),
                  sentence);
    }

    // The auto-save meets the disk's errors as they are.
    EXPECT_EQ(documentmessages::autoSaveFailureDetail(std::make_exception_ptr(
                  std::filesystem::filesystem_error("cannot write file", code(ENOSPC)))),
              "The disk is full.");
}

// Media gone from under the open project, as the banner and the export's
// failure name it: the clip and why, several clips by their names, each
// clip's reason in the detail only where they differ.
TEST(DocumentMessagesTest, MediaGoneNamesTheClipsAndWhy) {
    using Reason = UnavailableMedia::Reason;
    const auto clip = [](const char* name, Reason reason) {
        return UnavailableMedia{Uuid::random(), name, reason};
    };
    struct Case {
        std::vector<UnavailableMedia> clips;
        std::string banner;
        std::optional<std::string> detail;
        std::string exportFailure;
    };
    const std::vector<Case> cases = {
        {{clip("doomed.mp4", Reason::missing)},
         "The media of \u201Cdoomed.mp4\u201D is missing",
         std::nullopt,
         "Export failed: the media of \u201Cdoomed.mp4\u201D is missing"},
        {{clip("locked.mov", Reason::unreadable)},
         "The media of \u201Clocked.mov\u201D cannot be read",
         std::nullopt,
         "Export failed: the media of \u201Clocked.mov\u201D cannot be read"},
        {{clip("a.mp4", Reason::missing), clip("b.mp4", Reason::missing)},
         "The media of 2 clips is missing: \u201Ca.mp4\u201D, \u201Cb.mp4\u201D",
         std::nullopt,
         "Export failed: the media of 2 clips is missing: \u201Ca.mp4\u201D, \u201Cb.mp4\u201D"},
        {{clip("a.mp4", Reason::missing), clip("dir.mp4", Reason::notRegularFile),
          clip("a.mp4", Reason::missing), clip("c.mp4", Reason::missing),
          clip("d.mp4", Reason::missing)},
         "The media of 5 clips cannot be read: \u201Ca.mp4\u201D, \u201Cdir.mp4\u201D, "
         "\u201Cc.mp4\u201D and 1 more",
         "\u201Ca.mp4\u201D: the file is missing\n\u201Cdir.mp4\u201D: not a regular file\n"
         "\u201Cc.mp4\u201D: the file is missing\n\u201Cd.mp4\u201D: the file is missing",
         "Export failed: the media of 5 clips cannot be read: \u201Ca.mp4\u201D, "
         "\u201Cdir.mp4\u201D, \u201Cc.mp4\u201D and 1 more"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.banner);
        const documentmessages::FailureText text = documentmessages::mediaLost(c.clips);
        EXPECT_EQ(text.message, c.banner);
        EXPECT_EQ(text.detail, c.detail);
        EXPECT_EQ(documentmessages::exportFailedOnMedia(c.clips), c.exportFailure);
    }
}
