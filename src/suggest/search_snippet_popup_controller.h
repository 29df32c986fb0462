#pragma once

#include "model/ql_snippet.h"
#include "suggest/search_snippet_popup_controller_delegate.h"
#include "suggest/search_table_view.h"

#include <QObject>
#include <QPointer>

class QLabel;
class QWidget;

// The suggestion popup: a small frameless list under the word being typed.
// It never takes the keyboard; the main controller hands it the navigation
// keys and the typed characters.
class SearchSnippetPopupController final : public QObject {
  Q_OBJECT

 public:
  static constexpr int kHeadingHeight = 36;
  static constexpr int kEmptyHeight = 31;
  static constexpr int kMaxListHeight = 400;
  static constexpr int kWidth = 360;

  explicit SearchSnippetPopupController(QObject* parent = nullptr);
  ~SearchSnippetPopupController() override;

  SearchSnippetPopupControllerDelegate* delegate = nullptr;

  // The candidates (the whole library), and what the list shows.
  QList<SnippetPtr> snippets;
  QList<SnippetPtr> filteredSnippets;
  // Non-empty: that group's snippets are listed instead of searching.
  QString groupUuid;
  bool clearAbbreviation = true;
  QString delimiter;
  // Whether the library is there; without it nothing is listed.
  bool hasSnippets = true;

  const QString& searchString() const { return searchString_; }
  // Refreshes the list only when the text changed.
  void setSearchString(const QString& text);
  void resetView();
  // Expands the selected snippet.
  void snippetSelected();

  QWidget* window() const { return window_; }
  SearchTableView* snippetsTableView() const { return table_; }
  QLabel* headingLabel() const { return heading_; }
  bool isVisible() const;
  // Shows the window at topLeft (screen coordinates), or centred on the
  // screen when topLeft is null; never takes the keyboard. Near the bottom
  // of the screen it goes above the line, lineHeight higher.
  void showAt(const std::optional<QPoint>& topLeft, int lineHeight = 0);
  // Closes the window; the search text becomes empty.
  void close();

  // A navigation key (Up, Down, Return, keypad Enter, Tab) the application
  // must not see, delivered to the list as if typed there.
  void deliverKey(quint16 keyCode, quint64 modifierFlags);
  // A pointer move or scroll elsewhere, in screen coordinates.
  void deliverMouseMove(const QPointF& globalPosition);
  void deliverScroll(const QPointF& globalPosition, const QPointF& steps);

 Q_SIGNALS:
  // The window was shown or hidden, whatever the reason.
  void visibilityChanged(bool visible);

 private:
  bool eventFilter(QObject* watched, QEvent* event) override;

  QString searchString_;
  QPointer<QWidget> window_;
  QLabel* heading_ = nullptr;
  SearchTableView* table_ = nullptr;
  SearchSnippetListModel* model_ = nullptr;
};
