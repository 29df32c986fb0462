#pragma once

#include "ui/library_outline_model.h"

#include <QUndoCommand>

#include <functional>

// One outline command on the undo stack. The first redo runs the command
// itself, so the outline sees exactly the rows it changed; undo and later
// redos put back the library as it was before and after, with the very
// same records, and save it.
class OutlineCommand final : public QUndoCommand {
 public:
  using Action = std::function<void()>;
  // Called after a snapshot was put back (to restore expansion and
  // selection); undone tells undo from redo.
  using Restored = std::function<void(bool undone)>;

  OutlineCommand(LibraryOutlineModel* model, const QString& text, Action action, Restored restored);

  void redo() override;
  void undo() override;

 private:
  void putBack(const LibraryOutlineModel::Snapshot& snapshot, bool undone);

  LibraryOutlineModel* model_;
  Action action_;
  Restored restored_;
  bool done_ = false;
  LibraryOutlineModel::Snapshot before_;
  LibraryOutlineModel::Snapshot after_;
};
