#include "app/restore_window_controller.h"

#include "ui_restore_options_panel.h"
#include "ui_restore_window_controller.h"

#include "model/ql_settings.h"
#include "platform/log.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>

#include <algorithm>
#include <exception>

namespace {

const QString kGroupsKey = QStringLiteral("isRestoreGroupsAndSnippets");
const QString kPreferencesKey = QStringLiteral("isRestorePreferences");
const QString kBackupFirstKey = QStringLiteral("isTakeBackupBeforeRestore");
const QString kFrameKey = QStringLiteral("NSWindow Frame RestoreWindow");

QString defaultChooseFile(QWidget* parent, const QString& folder) {
  return QFileDialog::getOpenFileName(parent, RestoreWindowController::tr("Select backup file..."), folder,
                                      RestoreWindowController::tr("Quillet backups (*.qlxdoc)"));
}

void defaultAlert(QWidget* parent, const QString& message, const QString& details) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Quillet"), message, QMessageBox::Ok,
                  parent);
  box.setInformativeText(details);
  box.setWindowModality(Qt::WindowModal);
  box.exec();
}

}  // namespace

RestoreWindowController::RestoreWindowController(RestoreWindowControllerDelegate* delegate,
                                                 QLSettings* settings, QWidget* parent)
    : delegate(delegate),
      settings(settings),
      chooseBackupFile(defaultChooseFile),
      runOptionsPanel([](QDialog* panel) { return panel->exec() == QDialog::Accepted ? 1 : 0; }),
      alert(defaultAlert) {
  const QSettings defaults;
  isRestoreGroupsAndSnippets = defaults.value(kGroupsKey, false).toBool();
  isRestorePreferences = defaults.value(kPreferencesKey, false).toBool();
  isTakeBackupBeforeRestore = defaults.value(kBackupFirstKey, false).toBool();
  buildWindow(parent);
  buildOptionsPanel();
}

RestoreWindowController::~RestoreWindowController() {
  if (window_) QSettings().setValue(kFrameKey, window_->saveGeometry());
  delete window_;
}

void RestoreWindowController::buildWindow(QWidget* parent) {
  window_ = new QDialog(parent);
  ui_ = std::make_unique<Ui::RestoreWindow>();
  ui_->setupUi(window_);
  window_->installEventFilter(this);
  QHeaderView* header = ui_->backupsTable->horizontalHeader();
  header->setSectionResizeMode(0, QHeaderView::Stretch);
  header->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(true);
  header->setSortIndicator(0, Qt::DescendingOrder);
  connect(header, &QHeaderView::sectionClicked, this, &RestoreWindowController::sortByColumn);
  connect(ui_->backupsTable, &QTableWidget::itemSelectionChanged, this, &RestoreWindowController::selectionChanged);
  connect(ui_->openButton, &QPushButton::clicked, this, &RestoreWindowController::actionOpenBackup);
  connect(ui_->backupButton, &QPushButton::clicked, this, &RestoreWindowController::actionBackup);
  connect(ui_->closeButton, &QPushButton::clicked, this, &RestoreWindowController::sheetClosed);
  connect(ui_->restoreButton, &QPushButton::clicked, this, &RestoreWindowController::actionRestore);
  const QByteArray frame = QSettings().value(kFrameKey).toByteArray();
  if (!frame.isEmpty()) window_->restoreGeometry(frame);
}

void RestoreWindowController::buildOptionsPanel() {
  restoreOptionsPanel_ = new QDialog(window_);
  panelUi_ = std::make_unique<Ui::RestoreOptionsPanel>();
  panelUi_->setupUi(restoreOptionsPanel_);
  panelUi_->buttons->button(QDialogButtonBox::Ok)->setText(tr("Restore"));
}

void RestoreWindowController::showWindow() {
  loadBackupFiles();
  reloadTable();
  ui_->backupsTable->clearSelection();
  window_->show();
  window_->raise();
  window_->activateWindow();
}

bool RestoreWindowController::eventFilter(QObject* watched, QEvent* event) {
  // Coming back to the window shows the folder as it is now.
  if (watched == window_ && event->type() == QEvent::WindowActivate) {
    loadBackupFiles();
    reloadTable();
    ui_->backupsTable->clearSelection();
  }
  return QObject::eventFilter(watched, event);
}

void RestoreWindowController::loadBackupFiles() {
  try {
    if (!settings) return;
    const int selected = ui_->backupsTable->currentRow();
    backupFiles = ql::backups::listBackups(settings->preferences.backupFolderPath);
    applySort();
    if (selected >= 0 && selected < backupFiles.size() && !ui_->backupsTable->selectedItems().isEmpty()) {
      restoreFile = backupFiles[selected].path;
      showFileName(restoreFile);
    }
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("loadBackupFiles"), QString::fromUtf8(e.what()));
  }
}

void RestoreWindowController::sortByColumn(int column) {
  if (column != 0 && column != 1) return;
  sortAscending_ = column == sortColumn_ ? !sortAscending_ : false;
  sortColumn_ = column;
  applySort();
}

void RestoreWindowController::applySort() {
  const int column = sortColumn_;
  const bool ascending = sortAscending_;
  std::stable_sort(backupFiles.begin(), backupFiles.end(),
                   [column, ascending](const auto& a, const auto& b) {
                     if (column == 1) {
                       const int ca = ql::backups::countColumnValue(a);
                       const int cb = ql::backups::countColumnValue(b);
                       return ascending ? ca < cb : ca > cb;
                     }
                     return ascending ? a.date < b.date : a.date > b.date;
                   });
  ui_->backupsTable->horizontalHeader()->setSortIndicator(
      column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
  reloadTable();
}

void RestoreWindowController::reloadTable() {
  const QSignalBlocker block(ui_->backupsTable);
  ui_->backupsTable->setRowCount(int(backupFiles.size()));
  for (int row = 0; row < backupFiles.size(); ++row) {
    const auto& entry = backupFiles[row];
    auto* date = new QTableWidgetItem(ql::backups::backupColumnText(entry));
    date->setToolTip(entry.path);
    auto* count = new QTableWidgetItem(QString::number(ql::backups::countColumnValue(entry)));
    count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ui_->backupsTable->setItem(row, 0, date);
    ui_->backupsTable->setItem(row, 1, count);
  }
}

void RestoreWindowController::selectionChanged() {
  const QList<QTableWidgetItem*> items = ui_->backupsTable->selectedItems();
  if (items.isEmpty()) return;
  const int row = items.first()->row();
  if (row < 0 || row >= backupFiles.size()) return;
  restoreFile = backupFiles[row].path;
  showFileName(restoreFile);
}

void RestoreWindowController::showFileName(const QString& path) {
  ui_->backupNameTextField->setText(QFileInfo(path).completeBaseName());
}

void RestoreWindowController::actionOpenBackup() {
  const QString folder = settings ? settings->preferences.backupFolderPath : QString();
  const QString chosen = chooseBackupFile ? chooseBackupFile(window_, folder) : QString();
  if (chosen.isEmpty() || !settings) return;
  restoreFile = chosen;
  showFileName(chosen);
}

void RestoreWindowController::actionRestore() {
  if (restoreFile.isEmpty()) {
    if (alert)
      alert(window_, tr("Please select backup to restore!"),
            tr("No backup file selected."));
    return;
  }
  window_->hide();
  panelUi_->groupsBox->setChecked(isRestoreGroupsAndSnippets);
  panelUi_->preferencesBox->setChecked(isRestorePreferences);
  panelUi_->backupFirstBox->setChecked(isTakeBackupBeforeRestore);
  const int answer = runOptionsPanel ? runOptionsPanel(restoreOptionsPanel_) : 0;
  restoreOptionsPanel_->hide();
  isRestoreGroupsAndSnippets = panelUi_->groupsBox->isChecked();
  isRestorePreferences = panelUi_->preferencesBox->isChecked();
  isTakeBackupBeforeRestore = panelUi_->backupFirstBox->isChecked();
  QSettings defaults;
  defaults.setValue(kGroupsKey, isRestoreGroupsAndSnippets);
  defaults.setValue(kPreferencesKey, isRestorePreferences);
  defaults.setValue(kBackupFirstKey, isTakeBackupBeforeRestore);
  defaults.sync();
  if (answer == 1 && delegate) delegate->restoreFileSelected(this, restoreFile);
}

void RestoreWindowController::actionBackup() {
  // Disabled for the duration, on every way out.
  struct Reenable {
    QPushButton* button;
    ~Reenable() { button->setEnabled(true); }
  } reenable{ui_->backupButton};
  ui_->backupButton->setEnabled(false);
  const bool hadSelection = !ui_->backupsTable->selectedItems().isEmpty();
  const QString chosen = restoreFile;
  try {
    if (delegate) delegate->takeBackup();
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("[actionBackup:]"), QString::fromUtf8(e.what()));
  }
  loadBackupFiles();
  // The new backup shifts the rows: the selection stays on the file the
  // user chose, not on its old row.
  if (!hadSelection) return;
  for (int row = 0; row < backupFiles.size(); ++row) {
    if (backupFiles[row].path != chosen) continue;
    ui_->backupsTable->selectRow(row);
    restoreFile = chosen;
    showFileName(chosen);
    return;
  }
}

void RestoreWindowController::sheetClosed() { window_->hide(); }
