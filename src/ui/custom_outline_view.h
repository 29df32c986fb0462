#pragma once

#include "model/ql_snippet.h"

#include <QTreeView>

class QMenu;

// The library outline: one selected row at a time, Delete and Backspace
// ask to delete it, a right click selects the row under the pointer and
// opens the context menu.
class CustomOutlineView final : public QTreeView {
  Q_OBJECT

 public:
  explicit CustomOutlineView(QWidget* parent = nullptr);

  QMenu* contextMenu = nullptr;
  // The snippet last copied or cut; kept after pasting.
  SnippetPtr snippetCopy;

 Q_SIGNALS:
  void deleteRequested();
  // Before the context menu shows, on the row that was right-clicked.
  void contextMenuAboutToShow(const QModelIndex& index);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
};
