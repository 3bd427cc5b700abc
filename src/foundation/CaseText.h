#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Error cases shown in their default textual form: `missingParameter("at")`,
// `invalidParameterValue("volume", 1.5)`.
namespace vexel::casetext {

// A string literal in double quotes with \" \\ \' \n \t \r \0 escaped, every other control
// character (C0, DEL, C1) as \u{XX} in upper-case hex, and stray bytes as U+FFFD, so that no raw
// control byte ever reaches a message.
std::string quoted(std::string_view text);

// name(arg1, arg2, ...) from already rendered arguments; a bare name when none.
std::string call(std::string_view name, std::initializer_list<std::string> arguments);

} // namespace vexel::casetext
