#include "foundation/CaseText.h"

namespace vexel::casetext {

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\0':
            out += "\\0";
            break;
        default:
            out += c;
        }
    }
    out += '"';
    return out;
}

std::string call(std::string_view name, std::initializer_list<std::string> arguments) {
    std::string out(name);
    if (arguments.size() == 0) {
        return out;
    }
    out += '(';
    bool first = true;
    for (const auto& argument : arguments) {
        if (!first) {
            out += ", ";
        }
        first = false;
        out += argument;
    }
    out += ')';
    return out;
}

} // namespace vexel::casetext
