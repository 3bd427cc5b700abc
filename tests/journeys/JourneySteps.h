#pragma once

#include <string>
#include <vector>

// The sessions of the journeys, each run in a child process of its own over
// the journey's folders; the journey checks what they leave behind.
namespace vexel::journeys {

// Skips the welcome; drops "first.mp4" and "second.mp4" of the media folder
// (first argument); splits the first clip at 1.5 s; asks the chat for the
// title "Hello" and undoes it; exports as MP4 into the file named third;
// drops "phone.webm" and "pal.mp4" after them and exports again into the file
// named fifth; saves with Ctrl+S into the folder named second, writing the project it
// showed then into the file named fourth, and with Save As over that same
// folder; quits with Ctrl+Q.
inline constexpr const char* editSessionStep = "edit-session";
void editSession(const std::vector<std::string>& arguments);

// Starts the editor with the project folder given as first argument, checks
// that it shows the project of the file given as second argument, and ends.
inline constexpr const char* reopenSessionStep = "reopen-session";
void reopenSession(const std::vector<std::string>& arguments);

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

// Starts the editor fresh (first argument "fresh") or answers Recover to the
// recovery question ("recover"), and announces the texts it then shows. With
// "edit" as third argument it goes on adding texts named after the session
// (second argument), one every 2 to 3 s, announcing each with the moment it
// was made, until it is killed; with "end" it ends there.
inline constexpr const char* steadySessionStep = "steady-session";
void steadySession(const std::vector<std::string>& arguments);

// Checks that the GTK settings file's animations=false reduces motion beside
// GNOME's setting; drops the clip given as first argument and saves it with
// Ctrl+S into the folder named second; selects the clip, types an
// instruction and erases a word of it; deletes the clip with the keys and
// undoes that; sends the instruction, undoes its edits with Ctrl+Z from the
// emptied chat field; presses Delete, Backspace and Space over words selected
// in the reply and redoes with Ctrl+Shift+Z from there; closes the title's
// inspector with one click beside it on the picture and on the lanes, and
// undoes again; saves with Save As over the same folder, writing the project
// it shows then into the file named third; quits with Ctrl+Q.
inline constexpr const char* everydaySessionStep = "everyday-session";
void everydaySession(const std::vector<std::string>& arguments);

// Starts the editor with the project folder given as first argument, checks
// that it shows the project of the file given as second argument, then splits
// the clip at 2 s with Ctrl+B and undoes that, checking that the playhead and
// the picture stay at 2 s throughout.
inline constexpr const char* everydayReopenedStep = "everyday-reopened";
void everydayReopened(const std::vector<std::string>& arguments);

// The user's one editor, in front of which another window is active: checks
// that the project folder given as first argument, handed over by a later
// start, opens in it and brings it to the front; then, with unsaved work,
// that the folder given as second argument opens once "Don't Save" answers
// the question it asks first.
inline constexpr const char* receivingSessionStep = "receiving-session";
void receivingSession(const std::vector<std::string>& arguments);

// Starts the editor and announces that it runs, until it is killed.
inline constexpr const char* holdingSessionStep = "holding-session";
void holdingSession(const std::vector<std::string>& arguments);

// Drops the clip given as first argument, writes the project into the file
// named second and announces it; once the file named third exists, waits
// until the auto-save holds the project, writes it again and announces that,
// until it is killed.
inline constexpr const char* stagingSessionStep = "staging-session";
void stagingSession(const std::vector<std::string>& arguments);

// A start while another editor runs: announces that it handed over, or, as a
// second editor (a failure), goes through its start-up answering Discard to
// a recovery question.
inline constexpr const char* secondStartStep = "second-start";
inline constexpr const char* handedOver = "journey: handed over";
void secondStart(const std::vector<std::string>& arguments);

// A start with the project folder given as first argument while a frozen
// editor holds the lock: announces when it waits for that editor's answer,
// becomes the editor once that one is killed, answers Recover, announces the
// texts it recovered as the steady session does, and checks that the folder
// then opens once "Don't Save" answers the question about the recovered
// work.
inline constexpr const char* takingOverSessionStep = "taking-over-session";
void takingOverSession(const std::vector<std::string>& arguments);

// Drops the clip given as first argument; with "auto-save" as fifth argument
// waits until the auto-save holds the project; writes the project into the
// file named second and announces it; once the file named third exists,
// saves the project with Ctrl+S into the folder named fourth and announces
// that, until it is killed.
inline constexpr const char* keepingSessionStep = "keeping-session";
void keepingSession(const std::vector<std::string>& arguments);

// Starts the editor, announces that it runs, and checks that the project
// folder given as first argument, handed over by a later start, opens in it.
inline constexpr const char* openingSessionStep = "opening-session";
void openingSession(const std::vector<std::string>& arguments);

} // namespace vexel::journeys
