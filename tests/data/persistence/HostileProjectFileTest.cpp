// Project files and auto-saves made to hurt the reader: huge, deeply nested or
// immensely wide. Each is refused as malformed, without the time and memory
// that building it into a tree would take.
#include "data/persistence/FileAutoSaveService.h"
#include "data/persistence/ProjectFile.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "domain/entities/PersistenceError.h"
#include "foundation/DecodeError.h"
#include "infrastructure/security/KeychainAESEncryption.h"
#include "support/InMemorySecretStore.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>

using namespace vexel;
using vexel::testing::TemporaryFolder;

namespace {

constexpr std::size_t kHostileBytes = std::size_t{50} << 20;

// Writes `opening`, then `unit` over and over, then `closing`, `size` bytes
// in all, without holding the whole text in memory.
void writeRepeated(const std::filesystem::path& file, const std::string& opening,
                   const std::string& unit, const std::string& closing, std::size_t size) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << opening;
    std::string block;
    while (block.size() < (std::size_t{1} << 20)) {
        block += unit;
    }
    std::size_t written = opening.size() + closing.size();
    while (written + block.size() <= size) {
        out << block;
        written += block.size();
    }
    out << closing;
}

struct Cost {
    double cpuSeconds = 0;
    double addedMegabytes = 0;
};

// A line of /proc/self/status in kB ("VmRSS", "VmHWM"); 0 when absent.
long statusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with(field + ":")) {
            return std::stol(line.substr(field.size() + 1));
        }
    }
    return 0;
}

// Runs `refuse` in a child process, which must end by its own account (it
// returns true), and reports the child's time on the processor and the memory
// its peak held beyond what it had at the start (the parent's pages, which it
// shares, count as its own from the fork on).
Cost costInChild(const std::function<bool()>& refuse) {
    int report[2];
    EXPECT_EQ(::pipe(report), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts anew
        const long before = statusKilobytes("VmRSS");
        bool refused = false;
        try {
            refused = refuse();
        } catch (...) {
        }
        const long added = statusKilobytes("VmHWM") - before;
        (void)!::write(report[1], &added, sizeof added);
        ::_exit(refused ? 0 : 1);
    }
    ::close(report[1]);
    long added = -1;
    EXPECT_EQ(::read(report[0], &added, sizeof added), static_cast<ssize_t>(sizeof added));
    ::close(report[0]);
    int status = 0;
    struct rusage usage {};
    EXPECT_EQ(::wait4(child, &status, 0, &usage), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "not refused as it should be";
    return Cost{static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                    static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6,
                static_cast<double>(added) / 1024.0};
}

template <class Error> bool throws(const std::function<void()>& load) {
    try {
        load();
    } catch (const Error&) {
        return true;
    }
    return false;
}

} // namespace

TEST(HostileProjectFileTest, HugeNestedAndWideFilesAreRefusedBeforeTheyAreRead) {
    TemporaryFolder root;
    auto store = std::make_shared<vexel::testing::InMemorySecretStore>();
    const ProjectPersistenceService folders;
    const auto invalid = PersistenceError::decodingFailed("Invalid project file format");
    struct Hostile {
        const char* name;
        std::string opening, unit, closing;
    };
    for (const Hostile& hostile :
         {Hostile{"nested", "", "[", ""},
          Hostile{"wide", "{\"version\": 1, \"project\": [", "0,", "0]}"}}) {
        const std::filesystem::path package = root / hostile.name;
        writeRepeated(package / "project.json", hostile.opening, hostile.unit, hostile.closing,
                      kHostileBytes);
        const FileAutoSaveService autoSave(
            package, std::make_shared<KeychainAESEncryption>("s", "a", store));

        const Cost folder = costInChild([&] {
            try {
                folders.load(package);
            } catch (const PersistenceError& error) {
                return error == invalid;
            }
            return false;
        });
        const Cost autoSaved = costInChild(
            [&] { return throws<std::filesystem::filesystem_error>([&] { autoSave.load(); }); });
        for (const Cost& cost : {folder, autoSaved}) {
            EXPECT_LT(cost.cpuSeconds, 1.0) << hostile.name;
            EXPECT_LT(cost.addedMegabytes, 200.0) << hostile.name;
        }
    }
}

TEST(HostileProjectFileTest, DeepAndWideTextUnderTheCapIsParsedOnceAndRefusedAsItIs) {
    // Too deep: refused where the parser meets the limit, not after a tree of
    // millions of levels was built.
    const std::string deep(std::size_t{4} << 20, '[');
    EXPECT_THROW(ProjectFile::parsed(deep), DecodeError);
    const std::string pastTheLimit = std::string(257, '[') + std::string(257, ']');
    EXPECT_THROW(ProjectFile::parsed(pastTheLimit), DecodeError);
    EXPECT_NO_THROW(ProjectFile::parsed(pastTheLimit.substr(1, 512)));

    // Wide: built in time proportional to the text (the library's own parser
    // scans every object for each new key), then refused as no project.
    std::string wideObject = "{";
    std::string wideArray = "[";
    for (int n = 0; n < 100000; ++n) {
        wideObject += "\"k" + std::to_string(n) + "\":" + std::to_string(n) + ",";
        wideArray += "{},";
    }
    wideObject += "\"k7\":\"last\"}";
    wideArray += "{}]";
    const Json object = ProjectFile::parsed(wideObject);
    EXPECT_EQ(object.size(), 100000u);
    EXPECT_EQ(object.at("k7"), "last");                  // a repeated key keeps its last value...
    EXPECT_EQ(std::next(object.begin(), 7).key(), "k7"); // ...in its first place
    EXPECT_EQ(ProjectFile::parsed(wideArray).size(), 100001u);
    EXPECT_THROW(ProjectFile::decoded(wideObject), DecodeError);
    EXPECT_THROW(ProjectFile::decoded(wideArray), DecodeError);

    // Small objects keep the same rule.
    const Json repeated = ProjectFile::parsed(R"({"a": 1, "b": 2, "a": 3})");
    EXPECT_EQ(repeated.dump(), R"({"a":3,"b":2})");
}
