#pragma once

#include "model/ql_snippet.h"
#include "suggest/search_snippet_window_controller_delegate.h"
#include "suggest/search_table_view.h"

#include <QObject>
#include <QPointer>

class QLineEdit;
class QWidget;

// The search window of the tray menu: a search field and, while something
// is typed, the matching snippets of the whole library below it.
class SearchSnippetWindowController final : public QObject {
  Q_OBJECT

 public:
  static constexpr int kFieldHeight = 36;
  static constexpr int kCollapsedHeight = 31;
  static constexpr int kWidth = 360;
  // The design's own colour behind the field.
  static inline const QColor kBackground{255, 255, 227};

  explicit SearchSnippetWindowController(QObject* parent = nullptr);
  ~SearchSnippetWindowController() override;

  SearchSnippetWindowControllerDelegate* delegate = nullptr;

  QList<SnippetPtr> snippets;
  QList<SnippetPtr> filteredSnippets;
  QPoint frameOrigin;

  // Places the window's top-left corner at topLeft (kept on the screen),
  // collapsed, and shows it with the keyboard.
  void showAt(const QPoint& topLeft);
  bool isVisible() const;
  void close();

  void actionSearchChanged();
  void focusTableView();
  void snippetSelected();
  // Gives the keyboard back to the previous application, or hides.
  void giveFocusBack();

  QWidget* window() const { return window_; }
  QLineEdit* searchTextField() const { return field_; }
  SearchTableView* snippetsTableView() const { return table_; }

 private:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void collapse();
  void windowActivated();
  void windowDeactivated();

  QPointer<QWidget> window_;
  QLineEdit* field_ = nullptr;
  SearchTableView* table_ = nullptr;
  SearchSnippetListModel* model_ = nullptr;
};
