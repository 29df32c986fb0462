#pragma once

#include <QTextEdit>

// The snippet content: Tab and Shift+Tab move the focus to the next and
// previous control (Ctrl+Tab types a tab), and the context menu of formatted
// content offers "Insert Image".
class ContentTextView final : public QTextEdit {
  Q_OBJECT

 public:
  explicit ContentTextView(QWidget* parent = nullptr);

  bool offersImages = false;

 Q_SIGNALS:
  void insertImageRequested();
  // The focus went elsewhere (not to a menu or popup of this view).
  void editingEnded();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};
