// Runs decoded commands and batches against a small project through the
// editor's executor and checks, after every step, the promises of the edit
// engine: no half-done edit, no overlap a rule does not allow, no clip past the
// project's end, and undo and redo that give back exactly the same projects.
#include "domain/entities/EditError.h"
#include "domain/entities/EditHistory.h"
#include "domain/usecases/DefaultHandlers.h"
#include "domain/usecases/TrackOverlap.h"
#include "support/CommandDecoder.h"
#include "support/FakeExportService.h"
#include "support/FakeMediaLoader.h"
#include "support/FakeProjectRepository.h"
#include "support/FuzzProjects.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace vexel;

namespace {

// What the step was, printed when an invariant breaks, to tell a finding apart.
struct StepTrace {
    const std::vector<EditCommand>* commands = nullptr;
    const Project* before = nullptr;
    const Project* after = nullptr;
};
thread_local StepTrace trace;

void require(bool condition, const char* what) {
    if (condition) {
        return;
    }
    std::fprintf(stderr, "invariant broken: %s\n", what);
    if (trace.commands != nullptr) {
        for (const auto& command : *trace.commands) {
            std::fprintf(stderr, "command case %d\n", static_cast<int>(command.tag()));
        }
        std::fprintf(
            stderr, "before: %s\nafter: %s\n",
            Json(*trace.before).dump(-1, ' ', false, Json::error_handler_t::replace).c_str(),
            Json(*trace.after).dump(-1, ' ', false, Json::error_handler_t::replace).c_str());
    }
    std::abort();
}

bool trackOverlapsBy(const Project& project, const Uuid& trackId) {
    for (const auto& track : project.tracks) {
        if (track.id == trackId) {
            return hasInternalOverlap(track);
        }
    }
    return false;
}

// A single command may leave two clips overlapping only where its rule makes
// no overlap test: a trim, and a text edit's new time range.
bool mayOverlap(const EditCommand& command) {
    return command.is<EditCommand::Trim>() || command.is<EditCommand::EditText>();
}

void checkEnds(const Project& project) {
    for (const auto& track : project.tracks) {
        for (const auto& clip : track.clips) {
            require(clip.timeRange.endTime() <= project.maxDuration,
                    "a clip ends after the project's maximum duration");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const Project start = fuzz::smallProject();
    auto repository = std::make_shared<testing::FakeProjectRepository>(start);
    auto loader = std::make_shared<testing::FakeMediaLoader>();
    loader->add("/media/a.mov", 4);
    loader->add("/media/long.mov", 500);
    loader->add("/media/s.mp3", 2.5, TrackType::audio);
    loader->add("/media/p.png", 3, TrackType::image);
    auto exporter = std::make_shared<testing::FakeExportService>();
    DefaultEditCommandExecutor executor =
        makeDefaultEditCommandExecutor(repository, loader, exporter);

    EditHistory history;
    std::vector<Project> states{start};
    for (int step = 0; step < 48 && !input.empty(); ++step) {
        const Project before = repository->current();
        const bool batch = input.pick(3) == 0;
        std::vector<EditCommand> commands;
        const std::size_t count = batch ? input.pick(8) : 1;
        for (std::size_t i = 0; i < count; ++i) {
            commands.push_back(fuzz::decodeCommand(input, before));
        }
        bool succeeded = true;
        Project result;
        try {
            result = batch ? executor.executeBatch(commands) : executor.execute(commands.front());
        } catch (const EditError&) {
            succeeded = false;
        } catch (const testing::FakeMediaError&) {
            succeeded = false;
        }
        const Project& after = repository->current();
        trace = {&commands, &before, &after};
        if (!succeeded) {
            require(after == before, "a failed step changed the project");
            continue;
        }
        require(result == after, "the returned project is not the stored one");
        require(after.maxDuration == before.maxDuration, "the maximum duration changed");
        checkEnds(after);
        if (batch && commands.empty()) {
            require(after == before, "an empty batch changed the project");
        } else if (batch) {
            for (const auto& track : after.tracks) {
                require(!hasInternalOverlap(track), "a successful batch left an overlap");
            }
        } else if (!mayOverlap(commands.front())) {
            for (const auto& track : after.tracks) {
                require(!hasInternalOverlap(track) || trackOverlapsBy(before, track.id),
                        "a single command made an overlap its rule forbids");
            }
        }
        history.pushSnapshot(before);
        auto undone = history.undoFrom(after);
        require(undone.has_value() && *undone == before, "undo did not restore the project");
        auto redone = history.redoFrom(*undone);
        require(redone.has_value() && *redone == after, "redo did not restore the change");
        states.push_back(after);
    }

    trace = {};
    // Walk the whole history back and forth again.
    const std::size_t depth = history.undoStack.size();
    Project current = repository->current();
    for (std::size_t i = 0; i < depth; ++i) {
        auto undone = history.undoFrom(current);
        require(undone.has_value() && *undone == states[states.size() - 2 - i],
                "undo through the history went astray");
        current = *undone;
    }
    for (std::size_t i = 0; i < depth; ++i) {
        auto redone = history.redoFrom(current);
        require(redone.has_value() && *redone == states[states.size() - depth + i],
                "redo through the history went astray");
        current = *redone;
    }
    require(current == repository->current(), "the history did not end where it began");
    return 0;
}
