#pragma once

#include "platform/workspace.h"

#include <QAbstractListModel>
#include <QHash>
#include <QIcon>
#include <QSortFilterProxyModel>

// One application in the picker: the name a rule stores (the class the
// workspace reports for its windows) and what people call it.
struct AppEntry {
  QString app;          // what a rule stores
  QString displayName;  // the desktop entry's name; empty: app
  QString path;
  QString iconName;
  bool isInstalled = true;  // false: only a rule names it
  QString searchKey;        // both names, case and diacritics folded

  static AppEntry from(const ql::InstalledApplication& application);
  static AppEntry missing(const QString& name);
  // "Text Editor (Gedit)", or the one name when both are alike.
  QString title() const;
};

// One list of the picker. Drags carry the stored names under dragFormat;
// drops are accepted under dropFormat only and announced, never performed.
class AppSelectionListModel final : public QAbstractListModel {
  Q_OBJECT

 public:
  enum Role { NameRole = Qt::UserRole + 1, SearchRole };

  AppSelectionListModel(QString dragFormat, QString dropFormat, QObject* parent = nullptr);

  void setEntries(QList<AppEntry> entries);
  const QList<AppEntry>& entries() const { return entries_; }
  void append(const QList<AppEntry>& entries);
  void removeNames(const QStringList& names);
  int rowOf(const QString& name) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                       const QModelIndex& parent) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;
  Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }
  Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }

  static QStringList decodeNames(const QByteArray& payload);

 Q_SIGNALS:
  void namesDropped(const QStringList& names);

 private:
  QIcon iconFor(const AppEntry& entry) const;

  QString dragFormat_;
  QString dropFormat_;
  QList<AppEntry> entries_;
  QHash<QString, int> rows_;
  mutable QHash<QString, QIcon> icons_;
};

// The list as shown: narrowed by the search text, ignoring case and
// diacritics, in the list's own order.
class AppSelectionFilter final : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;
  void setSearchString(const QString& text);

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

 private:
  QString needle_;
};
