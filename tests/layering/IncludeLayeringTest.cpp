// The layers of src/ as the build must keep them, checked on every #include
// line: foundation < domain < data, infrastructure, platform < presentation <
// app, each including only its own layer and those below; no Qt in the
// foundation, the domain and the assistant; FFmpeg headers and the media
// layer's internal headers only inside the media layer. The rules go by folder
// names, so folders added later are held to them without changing this test.
#include "support/FileContents.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;
using vexel::test::writeFile;

namespace {

// The rank of each top-level folder of src/; folders of one rank may include
// each other.
std::optional<int> layerRank(std::string_view folder) {
    static constexpr std::array<std::pair<std::string_view, int>, 7> ranks = {{
        {"foundation", 0},
        {"domain", 1},
        {"data", 2},
        {"infrastructure", 2},
        {"platform", 2},
        {"presentation", 3},
        {"app", 4},
    }};
    for (const auto& [name, rank] : ranks) {
        if (name == folder) {
            return rank;
        }
    }
    return std::nullopt;
}

bool isUnder(const fs::path& relative, std::string_view folder) {
    const std::string text = relative.generic_string();
    return text.starts_with(std::string(folder) + "/");
}

bool isSourceFile(const fs::path& path) {
    static const std::array<std::string_view, 7> extensions = {".h",   ".hpp", ".cpp", ".cc",
                                                               ".cxx", ".inl", ".ipp"};
    const std::string extension = path.extension().string();
    return std::find(extensions.begin(), extensions.end(), extension) != extensions.end();
}

bool isQtHeader(const std::string& header) {
    static const std::regex qt(
        R"(^(Qt[A-Za-z]*(/.*)?|Q[A-Z][A-Za-z0-9]*|QCoro.*|qcoro.*|q[a-z0-9_]+\.h)$)");
    return std::regex_match(header, qt);
}

bool isFFmpegHeader(const std::string& header) {
    return header.starts_with("libav") || header.starts_with("libsw") ||
           header.starts_with("libpostproc");
}

struct Include {
    bool angled = false;
    std::string header;
    int line = 0;
};

std::vector<Include> includesOf(const fs::path& file) {
    static const std::regex directive(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<Include> includes;
    std::ifstream in(file);
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        std::smatch match;
        if (std::regex_search(text, match, directive)) {
            includes.push_back({match[1] == "<", match[2], line});
        }
    }
    return includes;
}

// Where a quoted include lands, relative to the source root: beside the
// including file when such a file exists, else from the root. Absent for a
// header that is in neither place (generated or from a library).
std::optional<fs::path> resolve(const fs::path& root, const fs::path& including,
                                const std::string& header) {
    const fs::path beside = including.parent_path() / header;
    if (fs::exists(root / beside)) {
        return beside.lexically_normal();
    }
    const fs::path fromRoot = fs::path(header).lexically_normal();
    if (fs::exists(root / fromRoot) || layerRank(fromRoot.begin()->string())) {
        return fromRoot;
    }
    return std::nullopt;
}

// Every broken rule as "file:line: <include> why".
std::vector<std::string> layeringViolations(const fs::path& root) {
    std::vector<std::string> violations;
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file() && isSourceFile(entry.path())) {
            files.push_back(fs::relative(entry.path(), root));
        }
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        const std::string folder = file.begin()->string();
        const std::optional<int> rank = layerRank(folder);
        if (!rank || std::next(file.begin()) == file.end()) {
            violations.push_back(file.generic_string() + ": lies in no layer");
            continue;
        }
        const bool qtFree =
            folder == "foundation" || folder == "domain" || isUnder(file, "data/llm");
        const bool inMedia = isUnder(file, "platform/media");
        for (const Include& include : includesOf(root / file)) {
            const std::string where = file.generic_string() + ":" + std::to_string(include.line) +
                                      ": " + (include.angled ? "<" : "\"") + include.header +
                                      (include.angled ? ">" : "\"") + " ";
            if (isFFmpegHeader(include.header) && !inMedia) {
                violations.push_back(where + "is FFmpeg outside the media layer");
            }
            if (include.angled) {
                if (qtFree && isQtHeader(include.header)) {
                    violations.push_back(where + "is Qt in a layer that must build without it");
                }
                continue;
            }
            const std::optional<fs::path> target = resolve(root, file, include.header);
            if (!target) {
                continue;
            }
            if (isUnder(*target, "platform/media/detail") && !inMedia) {
                violations.push_back(where + "is internal to the media layer");
            }
            const std::optional<int> targetRank = layerRank(target->begin()->string());
            if (targetRank && *targetRank > *rank) {
                violations.push_back(where + "reaches up from " + folder + " to " +
                                     target->begin()->string());
            }
        }
    }
    return violations;
}

} // namespace

TEST(IncludeLayering, EveryIncludeOfTheSourceTreeKeepsTheLayers) {
    const std::vector<std::string> violations = layeringViolations(VEXEL_SOURCE_DIR);
    std::string report;
    for (const auto& violation : violations) {
        report += violation + "\n";
    }
    EXPECT_TRUE(violations.empty()) << report;
}

TEST(IncludeLayering, FindsEveryKindOfViolation) {
    const vexel::testing::TemporaryFolder folder;
    const fs::path root = folder.path();
    // Allowed: down and sideways, Qt where Qt belongs, FFmpeg and its internal
    // headers inside the media layer, relative includes, library headers.
    writeFile(root / "foundation/Json.h", "#include <nlohmann/json.hpp>\n#include <vector>\n");
    writeFile(root / "domain/Project.h", "#include \"foundation/Json.h\"\n");
    writeFile(root / "data/persistence/Store.cpp",
              "#include \"domain/Project.h\"\n#include \"platform/crypto/Aes.h\"\n"
              "#include \"infrastructure/security/Keys.h\"\n");
    writeFile(root / "platform/crypto/Aes.h", "#include <openssl/evp.h>\n");
    writeFile(root / "infrastructure/security/Keys.h", "#include \"data/persistence/Store.h\"\n");
    writeFile(root / "platform/media/detail/Codec.h",
              "extern \"C\" {\n#include <libavcodec/avcodec.h>\n}\n");
    writeFile(root / "platform/media/Reader.cpp",
              "#include \"detail/Codec.h\"\n#include \"platform/media/detail/Codec.h\"\n"
              "  #  include <libswscale/swscale.h>\n");
    writeFile(root / "platform/image/Kernel.cpp",
              "#include <QImage>\n#include \"domain/Project.h\"\n");
    writeFile(root / "presentation/viewmodels/Timeline.h",
              "#include <QObject>\n#include <QCoroTask>\n#include \"data/persistence/Store.h\"\n");
    writeFile(root / "app/main.cpp",
              "#include <QApplication>\n#include \"presentation/viewmodels/Timeline.h\"\n");
    writeFile(root / "data/llm/Prompt.cpp", "#include \"moc_Generated.cpp\"\n");
    EXPECT_EQ(layeringViolations(root), std::vector<std::string>{});

    // Broken: each rule once.
    writeFile(root / "foundation/Bad.h", "#include \"domain/Project.h\"\n");
    writeFile(root / "domain/Bad.cpp",
              "#include <QString>\n#include \"data/persistence/Store.h\"\n");
    writeFile(root / "data/llm/Bad.cpp", "#include <QtCore/QJsonDocument>\n");
    writeFile(root / "platform/image/Bad.cpp",
              "#include <libavutil/frame.h>\n#include \"platform/media/detail/Codec.h\"\n"
              "#include \"presentation/viewmodels/Timeline.h\"\n");
    writeFile(root / "presentation/Bad.h", "#include \"app/main.h\"\n");
    writeFile(root / "tools/Stray.cpp", "int x;\n");
    writeFile(root / "Loose.h", "\n");
    EXPECT_EQ(
        layeringViolations(root),
        (std::vector<std::string>{
            "Loose.h: lies in no layer",
            "data/llm/Bad.cpp:1: <QtCore/QJsonDocument> is Qt in a layer that must build "
            "without it",
            "domain/Bad.cpp:1: <QString> is Qt in a layer that must build without it",
            "domain/Bad.cpp:2: \"data/persistence/Store.h\" reaches up from domain to data",
            "foundation/Bad.h:1: \"domain/Project.h\" reaches up from foundation to domain",
            "platform/image/Bad.cpp:1: <libavutil/frame.h> is FFmpeg outside the media layer",
            "platform/image/Bad.cpp:2: \"platform/media/detail/Codec.h\" is internal to the "
            "media layer",
            "platform/image/Bad.cpp:3: \"presentation/viewmodels/Timeline.h\" reaches up from "
            "platform to presentation",
            "presentation/Bad.h:1: \"app/main.h\" reaches up from presentation to app",
            "tools/Stray.cpp: lies in no layer",
        }));
}
