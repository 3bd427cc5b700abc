// Decodes a project from arbitrary bytes as a saved project file is read. Bad
// input must end in a parse or decode error, never in a crash; what decodes
// must encode and decode again to the same project.
#include "domain/entities/Project.h"
#include "foundation/DecodeError.h"
#include "foundation/Json.h"
#include "foundation/JsonReader.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

using namespace vexel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Project project;
    try {
        project = json::parse(text).get<Project>();
    } catch (const DecodeError&) {
        return 0;
    }
    const std::string encoded = Json(project).dump();
    const Project again = Json::parse(encoded).get<Project>();
    if (!(again == project) || Json(again).dump() != encoded) {
        std::fprintf(stderr, "a decoded project does not survive encoding\n");
        std::abort();
    }
    return 0;
}
