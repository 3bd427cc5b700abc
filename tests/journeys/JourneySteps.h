#pragma once

#include <string>
#include <vector>

// The sessions of the journeys, each run in a child process of its own over
// the journey's folders; the journey checks what they leave behind.
namespace vexel::journeys {

// Drops the clip given as first argument, adds a text with "Add Text",
// writes its project into the file named second, waits until the auto-save
// holds it and announces `readyToBeKilled`.
inline constexpr const char* crashSessionStep = "crash-session";
inline constexpr const char* readyToBeKilled = "journey: ready to be killed";
void crashSession(const std::vector<std::string>& arguments);

// Answers Recover to the recovery question and checks that the editor shows
// the project of the file given as first argument, unsaved.
inline constexpr const char* recoverSessionStep = "recover-session";
void recoverSession(const std::vector<std::string>& arguments);

} // namespace vexel::journeys
