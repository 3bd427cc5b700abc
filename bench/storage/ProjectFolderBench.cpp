// Target: saving and loading a 1000-clip project folder (media already in
// place) in under 30 ms each. Baselines in the same run: the project's plain
// encoding and decoding, the library's own JSON parser, and an atomic write of
// the same number of bytes.
// Target: refusing a 15 MB hostile file shaped unlike a project in well under
// 2 s (read from memory); baselines: the decoding of the whole parsed tree it
// replaced, and the library's own validation of the text, which builds
// nothing.
#include "data/persistence/ProjectFile.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "foundation/AtomicFileWriter.h"
#include "foundation/DecodeError.h"
#include "foundation/FileContents.h"
#include "foundation/JsonReader.h"
#include "support/BenchProjects.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <stdlib.h>

using namespace vexel;

namespace {

constexpr int kClips = 1000;

// A project folder on the same disk as the system's temporary files, removed
// at exit.
const std::filesystem::path& packageFolder() {
    static const std::filesystem::path folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vexel-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        std::atexit([] { std::filesystem::remove_all(packageFolder()); });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

// The bench project with its media moved into the folder's "assets", as after
// a first save: nothing is copied.
const Project& projectInPlace() {
    static const Project project = [] {
        Project made = bench::benchProject(kClips);
        for (Track& track : made.tracks) {
            for (Clip& clip : track.clips) {
                if (clip.assetURL) {
                    clip.assetURL = packageFolder() / "assets" / clip.assetURL->filename();
                }
            }
        }
        return made;
    }();
    return project;
}

void BM_SaveProjectFolder(benchmark::State& state) {
    const ProjectPersistenceService service;
    for (auto _ : state) {
        service.save(projectInPlace(), packageFolder());
    }
    state.counters["bytes"] =
        static_cast<double>(std::filesystem::file_size(packageFolder() / "project.json"));
}
BENCHMARK(BM_SaveProjectFolder)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadProjectFolder(benchmark::State& state) {
    const ProjectPersistenceService service;
    service.save(projectInPlace(), packageFolder());
    if (!(service.load(packageFolder()) == projectInPlace())) {
        throw std::logic_error("the project does not survive the folder");
    }
    for (auto _ : state) {
        Project loaded = service.load(packageFolder());
        benchmark::DoNotOptimize(loaded);
    }
}
BENCHMARK(BM_LoadProjectFolder)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baseline: the project's own encoded form, compact, without the file.
void BM_EncodeProjectBaseline(benchmark::State& state) {
    for (auto _ : state) {
        std::string text = Json(projectInPlace()).dump();
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_EncodeProjectBaseline)->Unit(benchmark::kMillisecond);

// Baseline: the project file's bytes in the indented, sorted layout.
void BM_EncodeProjectFile(benchmark::State& state) {
    for (auto _ : state) {
        std::string text =
            ProjectFile{1, PersistedProject::from(projectInPlace(), packageFolder())}.encoded(
                ProjectFile::Layout::prettySortedKeys);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_EncodeProjectFile)->Unit(benchmark::kMillisecond);

// Baseline: the file system's part, an atomic write of the same bytes.
void BM_AtomicWriteBaseline(benchmark::State& state) {
    const std::string bytes =
        ProjectFile{1, PersistedProject::from(projectInPlace(), packageFolder())}.encoded(
            ProjectFile::Layout::prettySortedKeys);
    for (auto _ : state) {
        writeFileAtomically(packageFolder() / "baseline.json", bytes);
    }
}
BENCHMARK(BM_AtomicWriteBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

// The text of the bench project's file, as the folder holds it.
const std::string& projectFileText() {
    static const std::string text =
        ProjectFile{1, PersistedProject::from(projectInPlace(), packageFolder())}.encoded(
            ProjectFile::Layout::prettySortedKeys);
    return text;
}

// The project file's text into a JSON value, as a load parses it: in one
// pass, refusing depth as it goes.
void BM_ParseProjectFile(benchmark::State& state) {
    for (auto _ : state) {
        Json parsed = ProjectFile::parsed(projectFileText());
        benchmark::DoNotOptimize(parsed);
    }
}
BENCHMARK(BM_ParseProjectFile)->Unit(benchmark::kMillisecond);

// Baseline: the library's own parser, into the same JSON type, with no limit.
void BM_ParseProjectFileLibraryBaseline(benchmark::State& state) {
    for (auto _ : state) {
        Json parsed = Json::parse(projectFileText());
        benchmark::DoNotOptimize(parsed);
    }
}
BENCHMARK(BM_ParseProjectFileLibraryBaseline)->Unit(benchmark::kMillisecond);

// The project file's text decoded in one pass, as a load decodes it.
void BM_DecodeProjectFile(benchmark::State& state) {
    for (auto _ : state) {
        ProjectFile decoded = ProjectFile::decoded(projectFileText());
        benchmark::DoNotOptimize(decoded);
    }
}
BENCHMARK(BM_DecodeProjectFile)->Unit(benchmark::kMillisecond);

// Baseline: the same through a tree of the whole text, as loads decoded it
// before.
void BM_DecodeProjectFileThroughTreeBaseline(benchmark::State& state) {
    for (auto _ : state) {
        ProjectFile decoded = ProjectFile::decodedFrom(ProjectFile::parsed(projectFileText()));
        benchmark::DoNotOptimize(decoded);
    }
}
BENCHMARK(BM_DecodeProjectFileThroughTreeBaseline)->Unit(benchmark::kMillisecond);

// 15 MB of a project whose tracks are numbers: what a reader building a tree
// of it spends most on.
const std::string& hostileFileText() {
    static const std::string text = [] {
        std::string made = R"({"version": 1, "project": {"maxDuration": 60, "tracks": [)";
        while (made.size() < (std::size_t{15} << 20)) {
            made += "0,";
        }
        return made + "0]}}";
    }();
    return text;
}

void BM_RefuseHostileFile(benchmark::State& state) {
    for (auto _ : state) {
        try {
            ProjectFile::decoded(hostileFileText());
            throw std::logic_error("the hostile file decoded");
        } catch (const DecodeError&) {
        }
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * hostileFileText().size()));
}
BENCHMARK(BM_RefuseHostileFile)->Unit(benchmark::kMillisecond);

// Baseline: the decoding of the whole parsed tree.
void BM_RefuseHostileFileThroughTreeBaseline(benchmark::State& state) {
    for (auto _ : state) {
        try {
            ProjectFile::decodedFrom(ProjectFile::parsed(hostileFileText()));
            throw std::logic_error("the hostile file decoded");
        } catch (const DecodeError&) {
        }
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * hostileFileText().size()));
}
BENCHMARK(BM_RefuseHostileFileThroughTreeBaseline)->Unit(benchmark::kMillisecond);

// Baseline: the library's validation of the text, the floor of any reading.
void BM_AcceptHostileFileLibraryBaseline(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(Json::accept(hostileFileText()));
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * hostileFileText().size()));
}
BENCHMARK(BM_AcceptHostileFileLibraryBaseline)->Unit(benchmark::kMillisecond);

// Baseline: the project's own decoding of its compact form.
void BM_DecodeProjectBaseline(benchmark::State& state) {
    const std::string text = Json(projectInPlace()).dump();
    for (auto _ : state) {
        Project decoded = json::parse(text).get<Project>();
        benchmark::DoNotOptimize(decoded);
    }
}
BENCHMARK(BM_DecodeProjectBaseline)->Unit(benchmark::kMillisecond);

} // namespace
