#include "domain/entities/EditHistory.h"

#include <utility>

namespace vexel {

namespace {

// One element is dropped per append, so a stack never grows past the bound and
// a stack that somehow already exceeds it is not cut down in one go.
void appendBounded(std::vector<Project>& stack, Project project, int maxDepth) {
    stack.push_back(std::move(project));
    if (static_cast<long long>(stack.size()) > maxDepth) {
        stack.erase(stack.begin());
    }
}

std::optional<Project> popLast(std::vector<Project>& stack) {
    if (stack.empty()) {
        return std::nullopt;
    }
    Project last = std::move(stack.back());
    stack.pop_back();
    return last;
}

} // namespace

void EditHistory::pushSnapshot(Project project) {
    appendBounded(undoStack, std::move(project), maxDepth);
    redoStack.clear();
}

std::optional<Project> EditHistory::undo() {
    return popLast(undoStack);
}

std::optional<Project> EditHistory::redo() {
    return popLast(redoStack);
}

std::optional<Project> EditHistory::undoFrom(Project current) {
    std::optional<Project> previous = undo();
    if (previous) {
        appendBounded(redoStack, std::move(current), maxDepth);
    }
    return previous;
}

std::optional<Project> EditHistory::redoFrom(Project current) {
    std::optional<Project> next = redo();
    if (next) {
        appendBounded(undoStack, std::move(current), maxDepth);
    }
    return next;
}

} // namespace vexel
