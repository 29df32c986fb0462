#include "ui/app_selection_sheet_controller.h"

#include "ui_app_selection_sheet_controller.h"

#include "platform/log.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QSet>

#include <algorithm>
#include <exception>

const QString AppSelectionSheetController::kPboardType = QStringLiteral("MetaDataPBoardType");
const QString AppSelectionSheetController::kChosenPboardType =
    QStringLiteral("application/x-quillet-chosen-applications");

AppSelectionSheetController::AppSelectionSheetController(QWidget* parentWindow, LoadApps loadApps,
                                                         QObject* parent)
    : QObject(parent), ui_(std::make_unique<Ui::AppSelectionSheet>()), loadApps_(std::move(loadApps)) {
  build(parentWindow);
}

AppSelectionSheetController::~AppSelectionSheetController() {
  // The dialog is a child of the window that opened it, which may be gone.
  delete window_.data();
}

int AppSelectionSheetController::compareFiles(QStringView a, QStringView b) {
  // Case-insensitive, with runs of digits compared by their value.
  qsizetype i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (a[i].isDigit() && b[j].isDigit()) {
      qsizetype ei = i, ej = j;
      while (ei < a.size() && a[ei].isDigit()) ++ei;
      while (ej < b.size() && b[ej].isDigit()) ++ej;
      QStringView da = a.sliced(i, ei - i), db = b.sliced(j, ej - j);
      while (da.size() > 1 && da.front() == u'0') da = da.sliced(1);
      while (db.size() > 1 && db.front() == u'0') db = db.sliced(1);
      if (da.size() != db.size()) return da.size() < db.size() ? -1 : 1;
      if (const int c = da.compare(db); c != 0) return c;
      i = ei;
      j = ej;
      continue;
    }
    const int c = a.sliced(i, 1).compare(b.sliced(j, 1), Qt::CaseInsensitive);
    if (c != 0) return c;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return a.compare(b);
}

QDialog* AppSelectionSheetController::window() const { return window_.data(); }

void AppSelectionSheetController::build(QWidget* parentWindow) {
  window_ = new QDialog(parentWindow);
  ui_->setupUi(window_);
  window_->setWindowModality(Qt::WindowModal);

  allApps_ = new AppSelectionListModel(kPboardType, kChosenPboardType, this);
  selectedApps_ = new AppSelectionListModel(kChosenPboardType, kPboardType, this);
  arrayAllApps_ = new AppSelectionFilter(this);
  arrayAllApps_->setSourceModel(allApps_);
  connect(selectedApps_, &AppSelectionListModel::namesDropped, this,
          &AppSelectionSheetController::addApps);
  connect(allApps_, &AppSelectionListModel::namesDropped, this,
          &AppSelectionSheetController::removeApps);
  connect(ui_->txtSearchField, &QLineEdit::textChanged, this,
          &AppSelectionSheetController::updateFilterAction);

  // Both lists take the other's entries by dragging.
  const std::pair<QListView*, QAbstractItemModel*> lists[] = {{ui_->allAppsTableView, arrayAllApps_},
                                                              {ui_->selectedAppsTableView, selectedApps_}};
  for (const auto& [view, model] : lists) {
    view->setModel(model);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setDragDropMode(QAbstractItemView::DragDrop);
    view->setDefaultDropAction(Qt::CopyAction);
    view->setDragDropOverwriteMode(false);
    view->setUniformItemSizes(true);
    view->setIconSize(QSize(24, 24));
    view->installEventFilter(this);
  }
  connect(ui_->allAppsTableView, &QAbstractItemView::doubleClicked, this,
          &AppSelectionSheetController::addSelectedApps);
  connect(ui_->selectedAppsTableView, &QAbstractItemView::doubleClicked, this,
          &AppSelectionSheetController::removeSelectedApps);

  connect(ui_->buttons, &QDialogButtonBox::accepted, this, &AppSelectionSheetController::sheetOk);
  connect(ui_->buttons, &QDialogButtonBox::rejected, this, &AppSelectionSheetController::sheetClosed);
  // Escape and the window's close button cancel.
  connect(window_, &QDialog::rejected, this, [this] { finish(true); });
}

void AppSelectionSheetController::setSelectedAppViewTitle(const QString& title) {
  title_ = title;
  ui_->selectedAppViewTitleLabel->setText(title);
}

void AppSelectionSheetController::loadApps() {
  QList<AppEntry> all;
  try {
    if (loadApps_)
      for (const ql::InstalledApplication& a : loadApps_()) all.append(AppEntry::from(a));
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("loadApps"), QString::fromUtf8(e.what()));
  }
  QSet<QString> known;
  for (const AppEntry& e : std::as_const(all)) known.insert(e.app);
  // A rule may name what is not installed (any more, or not here): kept.
  QList<AppEntry> chosen;
  QSet<QString> chosenNames;
  for (const QString& name : std::as_const(exceptions_)) {
    if (name.isEmpty() || chosenNames.contains(name)) continue;
    chosenNames.insert(name);
    if (!known.contains(name)) {
      all.append(AppEntry::missing(name));
      known.insert(name);
    }
  }
  QList<std::pair<QString, qsizetype>> order;
  order.reserve(all.size());
  for (qsizetype i = 0; i < all.size(); ++i) order.append({all[i].title(), i});
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& a, const auto& b) { return compareFiles(a.first, b.first) < 0; });
  QList<AppEntry> sorted;
  sorted.reserve(all.size());
  for (const auto& o : order) sorted.append(all[o.second]);
  allApps_->setEntries(sorted);

  for (const QString& name : std::as_const(exceptions_)) {
    const int row = allApps_->rowOf(name);
    if (row >= 0 && selectedApps_->rowOf(name) < 0) chosen.append(allApps_->entries()[row]);
  }
  selectedApps_->setEntries(chosen);
}

void AppSelectionSheetController::showSheet() {
  finished_ = false;
  isCancel_ = false;
  ui_->txtSearchField->clear();
  arrayAllApps_->setSearchString(QString());
  loadApps();
  window_->open();
  ui_->txtSearchField->setFocus(Qt::OtherFocusReason);
}

QList<AppEntry> AppSelectionSheetController::selectedApps() const { return selectedApps_->entries(); }

QStringList AppSelectionSheetController::selectedAppNames() const {
  QStringList names;
  for (const AppEntry& e : selectedApps_->entries()) names.append(e.app);
  return names;
}

void AppSelectionSheetController::updateFilterAction() {
  arrayAllApps_->setSearchString(ui_->txtSearchField->text());
}

QStringList AppSelectionSheetController::selectedNames(QListView* view) const {
  QModelIndexList rows = view->selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end(),
            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  QStringList names;
  for (const QModelIndex& i : rows) names.append(i.data(AppSelectionListModel::NameRole).toString());
  return names;
}

void AppSelectionSheetController::addSelectedApps() { addApps(selectedNames(ui_->allAppsTableView)); }

void AppSelectionSheetController::removeSelectedApps() {
  removeApps(selectedNames(ui_->selectedAppsTableView));
}

void AppSelectionSheetController::addApps(const QStringList& names) {
  // Only what the left list offers: a drop carries names, not entries.
  QList<AppEntry> add;
  for (const QString& n : names)
    if (const int row = allApps_->rowOf(n); row >= 0) add.append(allApps_->entries()[row]);
  selectedApps_->append(add);
}

void AppSelectionSheetController::removeApps(const QStringList& names) {
  selectedApps_->removeNames(names);
}

bool AppSelectionSheetController::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (watched == ui_->allAppsTableView && enter) {
      addSelectedApps();
      return true;
    }
    if (watched == ui_->selectedAppsTableView &&
        (enter || key == Qt::Key_Delete || key == Qt::Key_Backspace)) {
      removeSelectedApps();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void AppSelectionSheetController::sheetOk() { finish(false); }

void AppSelectionSheetController::sheetClosed() { finish(true); }

void AppSelectionSheetController::finish(bool cancelled) {
  if (finished_) return;
  finished_ = true;
  isCancel_ = cancelled;
  AppSelectionSheetControllerDelegate* d = delegate;
  delegate = nullptr;
  if (window_) window_->hide();
  if (d) d->AppSelectionSheetControllerDidFinish(this);
}
