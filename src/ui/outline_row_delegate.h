#pragma once

#include <QIcon>
#include <QStyledItemDelegate>

// Draws an outline row: the icon, the title (grey without an abbreviation,
// elided in the middle, the search text highlighted) and the abbreviation
// as a badge at the right, in the warning colour when it is used twice.
class OutlineRowDelegate final : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit OutlineRowDelegate(QObject* parent = nullptr);

  QIcon groupImage;
  QIcon snippetImage;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  static QColor badgeColor(bool isDuplicate);
};
