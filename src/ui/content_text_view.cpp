#include "ui/content_text_view.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>

ContentTextView::ContentTextView(QWidget* parent) : QTextEdit(parent) { setTabChangesFocus(true); }

void ContentTextView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier) {
    insertPlainText(QStringLiteral("\t"));
    event->accept();
    return;
  }
  QTextEdit::keyPressEvent(event);
}

void ContentTextView::contextMenuEvent(QContextMenuEvent* event) {
  std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
  if (offersImages) {
    menu->addSeparator();
    menu->addAction(tr("Insert Image"), this, &ContentTextView::insertImageRequested);
  }
  menu->exec(event->globalPos());
}

void ContentTextView::focusOutEvent(QFocusEvent* event) {
  QTextEdit::focusOutEvent(event);
  // A context menu or a popup opened from here is still editing.
  if (event->reason() != Qt::PopupFocusReason) Q_EMIT editingEnded();
}
