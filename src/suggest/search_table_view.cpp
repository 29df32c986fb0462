#include "suggest/search_table_view.h"

#include "model/caseless_pattern.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QSet>

namespace {

const QColor kBadge(47, 60, 78, 102);
const QColor kDuplicateBadge(223, 54, 6, 255);
const QColor kHighlight(255, 255, 0, 128);
// On a dark list the translucent slate badge and the yellow wash sink into
// the background: a light badge with dark text, and a darker wash under
// the light text, keep both readable (about 9:1 and 5:1).
const QColor kDarkBadge(172, 180, 192);
const QColor kDarkBadgeText(20, 24, 30);
const QColor kDarkHighlight(120, 110, 0, 170);
constexpr int kBadgePadding = 5;

bool isDark(const QPalette& palette) { return palette.color(QPalette::Base).lightness() < 128; }

}  // namespace

void SearchSnippetListModel::setSnippets(const QList<SnippetPtr>& snippets) {
  abbreviationCounts_.clear();
  for (const SnippetPtr& s : snippets)
    if (s) ++abbreviationCounts_[s->abbreviation];
}

void SearchSnippetListModel::setMatches(const QList<SnippetPtr>& matches, const QString& searchString) {
  beginResetModel();
  matches_ = matches;
  searchString_ = searchString;
  endResetModel();
}

SnippetPtr SearchSnippetListModel::snippetAt(int row) const {
  return row >= 1 && row <= matches_.size() ? matches_[row - 1] : SnippetPtr();
}

int SearchSnippetListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(matches_.size()) + 1;
}

QVariant SearchSnippetListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = index.row();
  if (row == 0) {
    switch (role) {
      case Qt::DisplayRole:
        return matches_.isEmpty() ? tr("No Snippets Found")
                                  : tr("Total Snippets Found : %1").arg(matches_.size());
      case IsHeadingRole:
        return true;
      default:
        return {};
    }
  }
  const SnippetPtr s = snippetAt(row);
  if (!s) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return s->label.isEmpty() ? s->searchableText() : s->label;
    case AbbreviationRole:
      return s->abbreviation;
    case IsDuplicateRole:
      return abbreviationCounts_.value(s->abbreviation) > 1;
    case SearchStingRole:
      return searchString_;
    case IsHeadingRole:
      return false;
    default:
      return {};
  }
}

Qt::ItemFlags SearchSnippetListModel::flags(const QModelIndex& index) const {
  if (!index.isValid() || index.row() == 0) return Qt::ItemIsEnabled;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QList<SnippetPtr> SearchSnippetListModel::filter(const QList<SnippetPtr>& snippets, const QString& text,
                                                 const QSet<QString>* allowedGroups) {
  QList<SnippetPtr> found;
  const ql::CaselessPattern pattern(text);
  for (const SnippetPtr& s : snippets) {
    if (!s) continue;
    if (allowedGroups && !allowedGroups->contains(s->groupUuid.value_or(QString()))) continue;
    if (pattern.foundIn(s->label) || pattern.foundIn(s->abbreviation) ||
        pattern.foundIn(s->searchableTextView(), true))
      found.append(s);
  }
  return found;
}

SearchTableView::SearchTableView(QWidget* parent) : QTableView(parent) {
  setObjectName(QStringLiteral("snippetsTableView"));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(false);
  setWordWrap(false);
  setTabKeyNavigation(false);
  setMouseTracking(true);
  horizontalHeader()->hide();
  horizontalHeader()->setStretchLastSection(true);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  verticalHeader()->setMinimumSectionSize(kRowHeight);
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFrameShape(QFrame::NoFrame);
  setItemDelegate(new SearchImageAndTextCell(this));
}

void SearchTableView::selectRow(int row) {
  if (!model() || row < 1 || row >= model()->rowCount()) return;
  const QModelIndex index = model()->index(row, 0);
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  scrollTo(index);
}

int SearchTableView::selectedRow() const {
  if (!selectionModel()) return -1;
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void SearchTableView::hoverAt(const QPoint& position) {
  const int row = rowAt(position.y());
  if (row < 1 || row == hoveredRow_) return;
  hoveredRow_ = row;
  selectRow(row);
  Q_EMIT focusTableView();
}

void SearchTableView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Q_EMIT snippetSelected();
      return;
    case Qt::Key_Escape:
      Q_EMIT escapePressed();
      return;
    case Qt::Key_Up:
      // Row 0 is the heading: Up stops at the first snippet.
      if (selectedRow() <= 1) return;
      selectRow(selectedRow() - 1);
      return;
    case Qt::Key_Down:
      if (model() && selectedRow() + 1 < model()->rowCount()) selectRow(qMax(1, selectedRow() + 1));
      return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return;
    default:
      QTableView::keyPressEvent(event);
  }
}

void SearchTableView::mouseMoveEvent(QMouseEvent* event) {
  hoverAt(event->position().toPoint());
  QTableView::mouseMoveEvent(event);
}

void SearchTableView::leaveEvent(QEvent* event) {
  hoveredRow_ = -1;
  QTableView::leaveEvent(event);
}

void SearchImageAndTextCell::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  const QString text = opt.text;
  opt.text.clear();
  const QWidget* widget = opt.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

  const bool selected = opt.state & QStyle::State_Selected;
  const QPalette::ColorRole textRole = selected ? QPalette::HighlightedText : QPalette::Text;
  QRect area = opt.rect.adjusted(4, 0, -4, 0);
  painter->save();
  painter->setFont(opt.font);
  const QFontMetrics fm(opt.font);

  if (index.data(SearchSnippetListModel::IsHeadingRole).toBool()) {
    painter->setPen(opt.palette.color(QPalette::Disabled, QPalette::Text));
    painter->drawText(area, Qt::AlignVCenter | Qt::AlignLeft, fm.elidedText(text, Qt::ElideMiddle, area.width()));
    painter->restore();
    return;
  }

  const QString abbreviation = index.data(SearchSnippetListModel::AbbreviationRole).toString();
  if (!abbreviation.isEmpty()) {
    QFont small = opt.font;
    small.setPointSizeF(qMax(6.0, small.pointSizeF() * 0.85));
    const QFontMetrics sfm(small);
    const QString shown = sfm.elidedText(abbreviation, Qt::ElideMiddle, area.width() / 3);
    const int width = sfm.horizontalAdvance(shown) + 2 * kBadgePadding;
    const int height = qMin(area.height() - 4, sfm.height() + 2);
    const QRect badge(area.right() - width, area.center().y() - height / 2 + 1, width, height);
    QPainterPath path;
    path.addRoundedRect(badge, height / 2.0, height / 2.0);
    painter->setRenderHint(QPainter::Antialiasing);
    const bool duplicate = index.data(SearchSnippetListModel::IsDuplicateRole).toBool();
    const bool dark = isDark(opt.palette);
    painter->fillPath(path, duplicate ? kDuplicateBadge : dark ? kDarkBadge : kBadge);
    painter->setFont(small);
    painter->setPen(dark && !duplicate ? kDarkBadgeText : QColor(Qt::white));
    painter->drawText(badge, Qt::AlignCenter, shown);
    painter->setFont(opt.font);
    area.setRight(badge.left() - 6);
  }

  QString line = text;
  line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
  const QString elided = fm.elidedText(line, Qt::ElideMiddle, area.width());
  const QString search = index.data(SearchSnippetListModel::SearchStingRole).toString();
  if (!search.isEmpty()) {
    const qsizetype at = elided.indexOf(search, 0, Qt::CaseInsensitive);
    if (at >= 0) {
      const int x = area.left() + fm.horizontalAdvance(elided.left(at));
      const int w = fm.horizontalAdvance(elided.mid(at, search.size()));
      painter->fillRect(QRect(x, area.center().y() - fm.height() / 2, w, fm.height()),
                        isDark(opt.palette) ? kDarkHighlight : kHighlight);
    }
  }
  painter->setPen(opt.palette.color(textRole));
  painter->drawText(area, Qt::AlignVCenter | Qt::AlignLeft, elided);
  painter->restore();
}

QSize SearchImageAndTextCell::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  size.setHeight(SearchTableView::kRowHeight);
  return size;
}
