#pragma once

#include "model/ql_snippet.h"

#include <QAbstractListModel>
#include <QHash>
#include <QStyledItemDelegate>
#include <QTableView>

// The rows both suggestion lists show: row 0 is a heading that cannot be
// selected, row r is entry r - 1 of the matches.
class SearchSnippetListModel final : public QAbstractListModel {
  Q_OBJECT

 public:
  enum Role {
    AbbreviationRole = Qt::UserRole + 1,
    IsDuplicateRole,
    SearchStingRole,
    IsHeadingRole,
  };

  using QAbstractListModel::QAbstractListModel;

  // The candidates: duplicates of an abbreviation are counted among them.
  void setSnippets(const QList<SnippetPtr>& snippets);
  // What is listed, and the text each row highlights.
  void setMatches(const QList<SnippetPtr>& matches, const QString& searchString);
  SnippetPtr snippetAt(int row) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The snippets whose label, abbreviation or content contains text, ignoring
  // case, in their order; with allowedGroups set only those groups' snippets.
  static QList<SnippetPtr> filter(const QList<SnippetPtr>& snippets, const QString& text,
                                  const QSet<QString>* allowedGroups = nullptr);

 private:
  QList<SnippetPtr> matches_;
  QString searchString_;
  QHash<QString, int> abbreviationCounts_;
};

// The list of both windows: one column "snippet", 20 high rows, hover
// selects, Return or keypad Enter chooses, Escape leaves.
class SearchTableView final : public QTableView {
  Q_OBJECT

 public:
  static constexpr int kRowHeight = 20;

  explicit SearchTableView(QWidget* parent = nullptr);

  // Selects row (1 or more) and shows it.
  void selectRow(int row);
  int selectedRow() const;
  // Forgets the hovered row, as after the list changed under the pointer.
  void resetTracking() { hoveredRow_ = -1; }
  // A pointer move at a position in the view's viewport coordinates.
  void hoverAt(const QPoint& position);

 Q_SIGNALS:
  void snippetSelected();
  void focusTableView();
  void escapePressed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  int hoveredRow_ = -1;
};

// A row: its text with the first occurrence of the search text on a yellow
// highlight, the abbreviation on a badge (red-orange when it is shared),
// long text cut in the middle; the heading row in gray.
class SearchImageAndTextCell final : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
