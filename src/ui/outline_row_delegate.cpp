#include "ui/outline_row_delegate.h"

#include "ui/library_outline_model.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kIconLeft = 3;
constexpr int kIconSize = 16;
constexpr int kBadgePadding = 15;
constexpr int kBadgeMaxWidth = 100;
constexpr int kBadgeMaxText = 70;

const QColor kSearchTitle = QColor::fromRgbF(1, 1, 0, 0.5);
const QColor kSearchBadge = QColor::fromRgbF(1, 1, 0, 0.7);

// Paints the first occurrence of search (ignoring case) in text, drawn at
// rect, with a coloured background.
void highlight(QPainter* p, const QFontMetrics& fm, const QRect& rect, const QString& text,
               const QString& search, const QColor& colour) {
  if (search.isEmpty()) return;
  const qsizetype at = text.indexOf(search, 0, Qt::CaseInsensitive);
  if (at < 0) return;
  const int x = fm.horizontalAdvance(text.left(at));
  const int w = fm.horizontalAdvance(text.mid(at, search.size()));
  const int textWidth = fm.horizontalAdvance(text);
  int left = rect.left();
  if (rect.width() > textWidth) {
    // Text in the rect is centred (badge) or left aligned (title).
    if (p->layoutDirection() == Qt::RightToLeft) left = rect.right() - textWidth;
  }
  p->fillRect(QRect(left + x, rect.top() + (rect.height() - fm.height()) / 2, w, fm.height()),
              colour);
}

}  // namespace

OutlineRowDelegate::OutlineRowDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QColor OutlineRowDelegate::badgeColor(bool isDuplicate) {
  return isDuplicate ? QColor::fromRgbF(0.8745f, 0.2118f, 0.0235f, 1.0f)
                     : QColor::fromRgbF(0.1843f, 0.2353f, 0.3059f, 0.8f);
}

QSize OutlineRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  return QSize(200, qMax(kIconSize + 4, option.fontMetrics.height() + 6));
}

void OutlineRowDelegate::paint(QPainter* p, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  opt.text.clear();
  opt.icon = QIcon();
  style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, p, widget);

  const bool isGroup = index.data(LibraryOutlineModel::IsGroupRole).toBool();
  const QString abbreviation = index.data(LibraryOutlineModel::AbbreviationRole).toString();
  const bool isDuplicate = index.data(LibraryOutlineModel::IsDuplicateRole).toBool();
  const QString search = index.data(LibraryOutlineModel::SearchRole).toString();
  const QString title = index.data(Qt::DisplayRole).toString();

  p->save();
  QRect r = option.rect;
  const QIcon& icon = isGroup ? groupImage : snippetImage;
  const QRect iconRect(r.left() + kIconLeft, r.top() + (r.height() - kIconSize) / 2, kIconSize,
                       kIconSize);
  icon.paint(p, iconRect);

  const QFontMetrics fm = option.fontMetrics;
  int right = r.right() - 4;
  if (!abbreviation.isEmpty()) {
    QFont small = option.font;
    small.setPointSizeF(qMax(7.0, option.font.pointSizeF() - 1));
    const QFontMetrics sfm(small);
    int textWidth = sfm.horizontalAdvance(abbreviation);
    int badgeWidth = textWidth + kBadgePadding;
    QString shown = abbreviation;
    if (badgeWidth > kBadgeMaxWidth) {
      badgeWidth = kBadgeMaxWidth;
      shown = sfm.elidedText(abbreviation, Qt::ElideMiddle, kBadgeMaxText);
      textWidth = kBadgeMaxText;
    }
    const QRect badge(right - badgeWidth, r.top() + 2, badgeWidth, r.height() - 4);
    QPainterPath path;
    path.addRoundedRect(badge, badge.height() / 2.0, badge.height() / 2.0);
    p->setRenderHint(QPainter::Antialiasing);
    p->fillPath(path, badgeColor(isDuplicate));
    p->setFont(small);
    highlight(p, sfm, badge.adjusted((badgeWidth - sfm.horizontalAdvance(shown)) / 2, 0, 0, 0),
              shown, search, kSearchBadge);
    p->setPen(Qt::white);
    p->drawText(badge, Qt::AlignCenter | Qt::TextSingleLine, shown);
    right = badge.left() - 6;
  }

  const QRect textRect(iconRect.right() + 6, r.top(), qMax(0, right - iconRect.right() - 6),
                       r.height());
  const QString shownTitle = fm.elidedText(title, Qt::ElideMiddle, textRect.width());
  p->setFont(option.font);
  highlight(p, fm, textRect, shownTitle, search, kSearchTitle);
  const bool selected = option.state & QStyle::State_Selected;
  QColor pen = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
  if (abbreviation.isEmpty() && !selected) pen = option.palette.color(QPalette::PlaceholderText);
  p->setPen(pen);
  p->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeading | Qt::TextSingleLine, shownTitle);
  p->restore();
}
