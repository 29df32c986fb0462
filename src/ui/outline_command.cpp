#include "ui/outline_command.h"

namespace {

bool same(const LibraryOutlineModel::Snapshot& a, const LibraryOutlineModel::Snapshot& b) {
  return a.groups == b.groups && a.snippets == b.snippets && a.members == b.members &&
         a.expanded == b.expanded;
}

}  // namespace

OutlineCommand::OutlineCommand(LibraryOutlineModel* model, const QString& text, Action action,
                               Restored restored)
    : QUndoCommand(text),
      model_(model),
      action_(std::move(action)),
      restored_(std::move(restored)) {}

void OutlineCommand::redo() {
  if (done_) {
    putBack(after_, false);
    return;
  }
  done_ = true;
  before_ = model_->snapshot();
  action_();
  action_ = nullptr;
  after_ = model_->snapshot();
  // A command that changed nothing leaves no trace (and no save).
  if (same(before_, after_)) {
    setObsolete(true);
    return;
  }
  model_->save();
}

void OutlineCommand::undo() { putBack(before_, true); }

void OutlineCommand::putBack(const LibraryOutlineModel::Snapshot& snapshot, bool undone) {
  model_->restore(snapshot);
  model_->save();
  if (restored_) restored_(undone);
}
