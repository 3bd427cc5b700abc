// Maps a tool call with arbitrary JSON input against a small project, as the
// assistant's replies are mapped, and runs what maps as one batch. Bad input
// must end in a mapping or edit error; a failed batch leaves the project as it was.
#include "data/llm/LLMResponseParserError.h"
#include "data/llm/ToolCallMapper.h"
#include "data/llm/ToolName.h"
#include "domain/entities/EditError.h"
#include "domain/entities/JSONObjectText.h"
#include "domain/usecases/DefaultHandlers.h"
#include "support/FakeExportService.h"
#include "support/FakeMediaLoader.h"
#include "support/FakeProjectRepository.h"
#include "support/FuzzProjects.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>

using namespace vexel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte names the tool (one choice beyond the table is an unknown
    // name); the rest is the input object's JSON.
    const std::size_t choice = data[0] % (allToolNames.size() + 1);
    const std::string name =
        choice < allToolNames.size() ? std::string(rawValue(allToolNames[choice])) : "no_such_tool";
    const Json parsed =
        Json::parse(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), nullptr,
                    /*allow_exceptions=*/false);
    // Input that is not an object reaches the mapper as a malformed call, as
    // the stream reader hands it on.
    const std::optional<JSONObjectText> input = JSONObjectText::fromParsed(parsed);
    const ToolCall call{"toolu_1", name, input.value_or(JSONObjectText{}), !input.has_value()};

    const Project project = fuzz::smallProject();
    std::vector<EditCommand> commands;
    try {
        commands = ToolCallMapper().map(std::vector<ToolCall>{call}, project);
    } catch (const LLMResponseParserError&) {
        return 0;
    }

    auto repository = std::make_shared<testing::FakeProjectRepository>(project);
    auto loader = std::make_shared<testing::FakeMediaLoader>();
    loader->add("/media/a.mov", 4);
    DefaultEditCommandExecutor executor = makeDefaultEditCommandExecutor(
        repository, loader, std::make_shared<testing::FakeExportService>());
    try {
        executor.executeBatch(commands);
    } catch (const EditError&) {
        if (!(repository->current() == project)) {
            std::fprintf(stderr, "a failed batch changed the project\n");
            std::abort();
        }
    } catch (const testing::FakeMediaError&) {
        if (!(repository->current() == project)) {
            std::fprintf(stderr, "a failed batch changed the project\n");
            std::abort();
        }
    }
    return 0;
}
