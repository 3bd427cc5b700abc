#include "foundation/CaseText.h"

#include "foundation/UnicodeText.h"

namespace vexel::casetext {

namespace {

constexpr char hexDigits[] = "0123456789ABCDEF";

void appendHexEscape(std::string& out, unsigned value) {
    out += "\\u{";
    out += hexDigits[(value >> 4) & 0xF];
    out += hexDigits[value & 0xF];
    out += '}';
}

} // namespace

std::string quoted(std::string_view text) {
    // Escaping works on whole characters, so stray bytes become U+FFFD first.
    const std::string valid = unicode::replacingInvalidUtf8(text);
    std::string out = "\"";
    out.reserve(valid.size() + 2);
    for (std::size_t i = 0; i < valid.size(); ++i) {
        const auto byte = static_cast<unsigned char>(valid[i]);
        switch (byte) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\'':
            out += "\\'";
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
            if (byte < 0x20 || byte == 0x7F) {
                appendHexEscape(out, byte);
            } else if (byte == 0xC2 && i + 1 < valid.size() &&
                       static_cast<unsigned char>(valid[i + 1]) <= 0x9F) {
                // U+0080 to U+009F, the C1 controls, are C2 80 to C2 9F.
                appendHexEscape(out, static_cast<unsigned char>(valid[++i]));
            } else {
                out += static_cast<char>(byte);
            }
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
