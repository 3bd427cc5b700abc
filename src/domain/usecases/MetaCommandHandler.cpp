#include "domain/usecases/MetaCommandHandler.h"

namespace vexel {

bool MetaCommandHandler::canHandle(const EditCommand& command) const {
    switch (command.tag()) {
    case EditCommand::Tag::export_:
    case EditCommand::Tag::reportBug:
    case EditCommand::Tag::requestFeature:
    case EditCommand::Tag::showTutorial:
    case EditCommand::Tag::undo:
    case EditCommand::Tag::redo:
        return true;
    default:
        return false;
    }
}

Project MetaCommandHandler::apply(const EditCommand&, Project project) const {
    return project;
}

} // namespace vexel
