#pragma once

#include "domain/entities/Project.h"

#include <optional>
#include <vector>

namespace vexel {

// Undo and redo as whole earlier projects (snapshots), not inverse commands.
// Two bounded stacks, oldest first; the owner reads them to enable its actions.
struct EditHistory {
    static constexpr int defaultMaxDepth = 50;

    int maxDepth = defaultMaxDepth;
    std::vector<Project> undoStack;
    std::vector<Project> redoStack;

    // Records the project as it was before a successful change and forgets
    // every redo snapshot.
    void pushSnapshot(Project project);

    // Pops the newest snapshot of one stack; nothing moves to the other stack.
    std::optional<Project> undo();
    std::optional<Project> redo();

    // The owner's Undo: pops the newest undo snapshot and, when there is one,
    // keeps `current` for Redo. Returns the project to make current.
    std::optional<Project> undoFrom(Project current);
    // The owner's Redo: pops the newest redo snapshot and, when there is one,
    // keeps `current` for Undo without forgetting the remaining redo snapshots.
    std::optional<Project> redoFrom(Project current);

    bool canUndo() const { return !undoStack.empty(); }
    bool canRedo() const { return !redoStack.empty(); }

    friend bool operator==(const EditHistory&, const EditHistory&) = default;
};

} // namespace vexel
