#pragma once

#include "domain/entities/Project.h"
#include "journeys/ChildSession.h"

#include <QString>

#include <chrono>
#include <string>
#include <vector>

// A person who edits every two or three seconds (the steady session), as its
// journeys see it: the edits it announces, the texts a later start recovers,
// and the promise that an edit 15 s old survives a kill.
namespace vexel::journeys {

inline constexpr const char* editLine = "journey: edit ";
inline constexpr const char* recoveredLine = "journey: recovered ";
inline constexpr std::chrono::seconds recoveredWithin{15};

// The monotonic clock, which the journey and its sessions share.
std::chrono::nanoseconds sinceBoot();

// The texts of the project in the order of the timeline.
std::vector<std::string> textNames(const Project& project);
// The names as one line, and back.
std::string joined(const std::vector<std::string>& names);
std::vector<std::string> split(const QString& text);

// An edit as a session announces it: "<name> at <nanoseconds>".
struct Edit {
    std::string name;
    std::chrono::nanoseconds made;

    static Edit from(const QString& line);
};

// Takes the edits that `child` (session number `session`) announces, from its
// first one on, for `editing` more; fails when it makes none or ends.
void collectEdits(ChildSession& child, int session, std::chrono::milliseconds editing,
                  std::vector<Edit>& edits);
// Adds the edits that `child`, killed, announced just before the kill: they
// may still be recovered.
void collectLastEdits(ChildSession& child, std::vector<Edit>& edits);

// Checks what a start recovered (`names`) after session `killed` was killed
// at `killedAt`: what the start before it recovered (`kept`), then the killed
// session's `edits` in order, up to one no younger than 15 s at the kill, or
// further.
void expectEditsKept(const std::vector<std::string>& kept, const std::vector<std::string>& names,
                     const std::vector<Edit>& edits, std::chrono::nanoseconds killedAt, int killed);

} // namespace vexel::journeys
