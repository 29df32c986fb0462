#include "ui/custom_outline_view.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

CustomOutlineView::CustomOutlineView(QWidget* parent) : QTreeView(parent) {
  setHeaderHidden(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setUniformRowHeights(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDropIndicatorShown(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::MoveAction);
  setAnimated(false);
  setExpandsOnDoubleClick(true);
}

void CustomOutlineView::keyPressEvent(QKeyEvent* event) {
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (plain && (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) &&
      currentIndex().isValid() && selectionModel()->hasSelection()) {
    Q_EMIT deleteRequested();
    event->accept();
    return;
  }
  QTreeView::keyPressEvent(event);
}

void CustomOutlineView::contextMenuEvent(QContextMenuEvent* event) {
  const QModelIndex index = indexAt(event->pos());
  if (!contextMenu || !index.isValid()) return;
  setCurrentIndex(index);
  Q_EMIT contextMenuAboutToShow(index);
  contextMenu->exec(event->globalPos());
}
