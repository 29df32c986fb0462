#include "ui/app_selection_list_model.h"

#include "model/text_folding.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QSet>
#include <QStyle>

#include <algorithm>
#include <functional>

namespace {

// More than any real selection; a bigger payload is not ours.
constexpr qsizetype kMaxDroppedNames = 10000;
const QSize kIconSize(24, 24);

}  // namespace

AppEntry AppEntry::from(const ql::InstalledApplication& application) {
  AppEntry e;
  e.app = application.name;
  e.displayName = application.displayName;
  e.path = application.path;
  e.iconName = application.iconName;
  e.searchKey = ql::folding::matchKey(e.displayName + QLatin1Char('\n') + e.app);
  return e;
}

AppEntry AppEntry::missing(const QString& name) {
  AppEntry e;
  e.app = name;
  e.isInstalled = false;
  e.searchKey = ql::folding::matchKey(name);
  return e;
}

QString AppEntry::title() const {
  if (displayName.isEmpty() || displayName.compare(app, Qt::CaseInsensitive) == 0) return app;
  return QStringLiteral("%1 (%2)").arg(displayName, app);
}

AppSelectionListModel::AppSelectionListModel(QString dragFormat, QString dropFormat,
                                             QObject* parent)
    : QAbstractListModel(parent),
      dragFormat_(std::move(dragFormat)),
      dropFormat_(std::move(dropFormat)) {}

void AppSelectionListModel::setEntries(QList<AppEntry> entries) {
  beginResetModel();
  entries_.clear();
  rows_.clear();
  for (AppEntry& e : entries) {
    if (e.app.isEmpty() || rows_.contains(e.app)) continue;
    rows_.insert(e.app, int(entries_.size()));
    entries_.append(std::move(e));
  }
  endResetModel();
}

void AppSelectionListModel::append(const QList<AppEntry>& entries) {
  QList<AppEntry> fresh;
  QSet<QString> names;
  for (const AppEntry& e : entries) {
    if (e.app.isEmpty() || rows_.contains(e.app) || names.contains(e.app)) continue;
    names.insert(e.app);
    fresh.append(e);
  }
  if (fresh.isEmpty()) return;
  const int first = int(entries_.size());
  beginInsertRows({}, first, first + int(fresh.size()) - 1);
  for (const AppEntry& e : fresh) {
    rows_.insert(e.app, int(entries_.size()));
    entries_.append(e);
  }
  endInsertRows();
}

void AppSelectionListModel::removeNames(const QStringList& names) {
  // From the end, so the rows still to remove keep their numbers.
  QList<int> rows;
  for (const QString& n : names)
    if (const int r = rowOf(n); r >= 0 && !rows.contains(r)) rows.append(r);
  std::sort(rows.begin(), rows.end(), std::greater<int>());
  for (const int r : rows) {
    beginRemoveRows({}, r, r);
    entries_.removeAt(r);
    endRemoveRows();
  }
  rows_.clear();
  for (int i = 0; i < entries_.size(); ++i) rows_.insert(entries_[i].app, i);
}

int AppSelectionListModel::rowOf(const QString& name) const { return rows_.value(name, -1); }

int AppSelectionListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(entries_.size());
}

QIcon AppSelectionListModel::iconFor(const AppEntry& entry) const {
  const auto it = icons_.constFind(entry.iconName);
  if (it != icons_.cend()) return *it;
  QIcon icon;
  if (QFileInfo(entry.iconName).isAbsolute()) icon = QIcon(entry.iconName);
  else if (!entry.iconName.isEmpty()) icon = QIcon::fromTheme(entry.iconName);
  if (icon.isNull())
    icon = QIcon::fromTheme(QStringLiteral("application-x-executable"),
                            QApplication::style()->standardIcon(QStyle::SP_FileIcon));
  // Themes lack some sizes; a smaller icon would shift its row's text.
  const QPixmap pixmap = icon.pixmap(kIconSize);
  if (!pixmap.isNull() && pixmap.deviceIndependentSize().toSize() != kIconSize) {
    QPixmap canvas(kIconSize);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    const QSize fitted = pixmap.deviceIndependentSize().toSize().scaled(kIconSize, Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(QPoint((kIconSize.width() - fitted.width()) / 2,
                                    (kIconSize.height() - fitted.height()) / 2),
                             fitted),
                       pixmap);
    painter.end();
    icon = QIcon(canvas);
  }
  icons_.insert(entry.iconName, icon);
  return icon;
}

QVariant AppSelectionListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= entries_.size()) return {};
  const AppEntry& e = entries_[index.row()];
  switch (role) {
    case Qt::DisplayRole:
      return e.title();
    case Qt::DecorationRole:
      return iconFor(e);
    case Qt::ToolTipRole:
      return e.isInstalled ? (e.path.isEmpty() ? e.title() : e.title() + u'\n' + e.path)
                           : tr("No installed application has this name");
    case Qt::FontRole: {
      if (e.isInstalled) return {};
      QFont f;
      f.setItalic(true);
      return f;
    }
    case NameRole:
      return e.app;
    case SearchRole:
      return e.searchKey;
    default:
      return {};
  }
}

Qt::ItemFlags AppSelectionListModel::flags(const QModelIndex& index) const {
  const Qt::ItemFlags base = QAbstractListModel::flags(index);
  return index.isValid() ? base | Qt::ItemIsDragEnabled : base | Qt::ItemIsDropEnabled;
}

QStringList AppSelectionListModel::mimeTypes() const { return {dropFormat_}; }

QMimeData* AppSelectionListModel::mimeData(const QModelIndexList& selected) const {
  // In list order, whatever order they were selected in.
  QModelIndexList indexes = selected;
  std::sort(indexes.begin(), indexes.end(),
            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  QStringList names;
  for (const QModelIndex& i : indexes)
    if (i.isValid() && i.row() < entries_.size() && !names.contains(entries_[i.row()].app))
      names.append(entries_[i.row()].app);
  if (names.isEmpty()) return nullptr;
  auto* data = new QMimeData;
  data->setData(dragFormat_, names.join(QLatin1Char('\n')).toUtf8());
  return data;
}

QStringList AppSelectionListModel::decodeNames(const QByteArray& payload) {
  QStringList names = QString::fromUtf8(payload).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  if (names.size() > kMaxDroppedNames) names.clear();
  return names;
}

bool AppSelectionListModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int,
                                            int, const QModelIndex&) const {
  return data && action == Qt::CopyAction && data->hasFormat(dropFormat_);
}

bool AppSelectionListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                                         int column, const QModelIndex& parent) {
  if (!canDropMimeData(data, action, row, column, parent)) return false;
  const QStringList names = decodeNames(data->data(dropFormat_));
  if (names.isEmpty()) return false;
  Q_EMIT namesDropped(names);
  return true;
}

void AppSelectionFilter::setSearchString(const QString& text) {
  const QString needle = ql::folding::matchKey(text.trimmed());
  if (needle == needle_) return;
  needle_ = needle;
  invalidateFilter();
}

bool AppSelectionFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
  if (needle_.isEmpty()) return true;
  if (const auto* list = qobject_cast<const AppSelectionListModel*>(sourceModel()))
    return sourceRow < list->entries().size() && list->entries()[sourceRow].searchKey.contains(needle_);
  const QModelIndex i = sourceModel()->index(sourceRow, 0, sourceParent);
  return i.data(AppSelectionListModel::SearchRole).toString().contains(needle_);
}
