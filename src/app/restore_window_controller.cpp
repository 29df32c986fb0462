#include "app/restore_window_controller.h"

#include "model/ql_settings.h"
#include "platform/log.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace {

const QString kGroupsKey = QStringLiteral("isRestoreGroupsAndSnippets");
const QString kPreferencesKey = QStringLiteral("isRestorePreferences");
const QString kBackupFirstKey = QStringLiteral("isTakeBackupBeforeRestore");
const QString kFrameKey = QStringLiteral("NSWindow Frame RestoreWindow");

QString defaultChooseFile(QWidget* parent, const QString& folder) {
  return QFileDialog::getOpenFileName(parent, QStringLiteral("Select backup file..."), folder,
                                      QStringLiteral("Quillet backups (*.qlxdoc)"));
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
  window_->setWindowTitle(QStringLiteral("Restore Backup"));
  window_->installEventFilter(this);

  auto* layout = new QVBoxLayout(window_);
  layout->addWidget(new QLabel(QStringLiteral("Backups in the backup folder:"), window_));

  backupsTable = new QTableWidget(0, 2, window_);
  backupsTable->setHorizontalHeaderLabels({QStringLiteral("Backup"), QStringLiteral("Count")});
  backupsTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  backupsTable->setSelectionMode(QAbstractItemView::SingleSelection);
  backupsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  backupsTable->verticalHeader()->hide();
  backupsTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  backupsTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  backupsTable->horizontalHeader()->setSectionsClickable(true);
  backupsTable->horizontalHeader()->setSortIndicatorShown(true);
  backupsTable->horizontalHeader()->setSortIndicator(0, Qt::DescendingOrder);
  backupsTable->setAlternatingRowColors(true);
  connect(backupsTable->horizontalHeader(), &QHeaderView::sectionClicked, this,
          &RestoreWindowController::sortByColumn);
  connect(backupsTable, &QTableWidget::itemSelectionChanged, this,
          &RestoreWindowController::selectionChanged);
  layout->addWidget(backupsTable, 1);

  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(new QLabel(QStringLiteral("Restore from:"), window_));
  backupNameTextField = new QLineEdit(window_);
  backupNameTextField->setReadOnly(true);
  backupNameTextField->setPlaceholderText(QStringLiteral("No backup file selected"));
  nameRow->addWidget(backupNameTextField, 1);
  auto* open = new QPushButton(QStringLiteral("Choose File…"), window_);
  connect(open, &QPushButton::clicked, this, &RestoreWindowController::actionOpenBackup);
  nameRow->addWidget(open);
  layout->addLayout(nameRow);

  auto* buttons = new QHBoxLayout;
  backupButton = new QPushButton(QStringLiteral("Backup Now"), window_);
  connect(backupButton, &QPushButton::clicked, this, &RestoreWindowController::actionBackup);
  buttons->addWidget(backupButton);
  buttons->addStretch(1);
  auto* close = new QPushButton(QStringLiteral("Close"), window_);
  connect(close, &QPushButton::clicked, this, &RestoreWindowController::sheetClosed);
  buttons->addWidget(close);
  restoreButton = new QPushButton(QStringLiteral("Restore…"), window_);
  restoreButton->setDefault(true);
  connect(restoreButton, &QPushButton::clicked, this, &RestoreWindowController::actionRestore);
  buttons->addWidget(restoreButton);
  layout->addLayout(buttons);

  window_->resize(520, 380);
  const QByteArray frame = QSettings().value(kFrameKey).toByteArray();
  if (!frame.isEmpty()) window_->restoreGeometry(frame);
}

void RestoreWindowController::buildOptionsPanel() {
  restoreOptionsPanel = new QDialog(window_);
  restoreOptionsPanel->setWindowTitle(QStringLiteral("Restore Options"));
  restoreOptionsPanel->setModal(true);
  auto* layout = new QVBoxLayout(restoreOptionsPanel);
  layout->addWidget(new QLabel(QStringLiteral("What should be restored from the backup?"),
                               restoreOptionsPanel));
  groupsBox_ = new QCheckBox(QStringLiteral("Groups and snippets"), restoreOptionsPanel);
  preferencesBox_ = new QCheckBox(QStringLiteral("Preferences"), restoreOptionsPanel);
  backupFirstBox_ =
      new QCheckBox(QStringLiteral("Take a backup of the current library first"), restoreOptionsPanel);
  layout->addWidget(groupsBox_);
  layout->addWidget(preferencesBox_);
  layout->addSpacing(8);
  layout->addWidget(backupFirstBox_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel,
                                       restoreOptionsPanel);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Restore"));
  connect(buttons, &QDialogButtonBox::accepted, restoreOptionsPanel, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, restoreOptionsPanel, &QDialog::reject);
  layout->addWidget(buttons);
}

void RestoreWindowController::showWindow() {
  loadBackupFiles();
  reloadTable();
  backupsTable->clearSelection();
  window_->show();
  window_->raise();
  window_->activateWindow();
}

bool RestoreWindowController::eventFilter(QObject* watched, QEvent* event) {
  // Coming back to the window shows the folder as it is now.
  if (watched == window_ && event->type() == QEvent::WindowActivate) {
    loadBackupFiles();
    reloadTable();
    backupsTable->clearSelection();
  }
  return QObject::eventFilter(watched, event);
}

void RestoreWindowController::loadBackupFiles() {
  try {
    if (!settings) return;
    const int selected = backupsTable->currentRow();
    backupFiles = ql::backups::listBackups(settings->preferences.backupFolderPath);
    applySort();
    if (selected >= 0 && selected < backupFiles.size() && !backupsTable->selectedItems().isEmpty()) {
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
  backupsTable->horizontalHeader()->setSortIndicator(
      column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
  reloadTable();
}

void RestoreWindowController::reloadTable() {
  const QSignalBlocker block(backupsTable);
  backupsTable->setRowCount(int(backupFiles.size()));
  for (int row = 0; row < backupFiles.size(); ++row) {
    const auto& entry = backupFiles[row];
    auto* date = new QTableWidgetItem(ql::backups::backupColumnText(entry));
    date->setToolTip(entry.path);
    auto* count = new QTableWidgetItem(QString::number(ql::backups::countColumnValue(entry)));
    count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    backupsTable->setItem(row, 0, date);
    backupsTable->setItem(row, 1, count);
  }
}

void RestoreWindowController::selectionChanged() {
  const QList<QTableWidgetItem*> items = backupsTable->selectedItems();
  if (items.isEmpty()) return;
  const int row = items.first()->row();
  if (row < 0 || row >= backupFiles.size()) return;
  restoreFile = backupFiles[row].path;
  showFileName(restoreFile);
}

void RestoreWindowController::showFileName(const QString& path) {
  backupNameTextField->setText(QFileInfo(path).completeBaseName());
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
      alert(window_, QStringLiteral("Please select backup to restore!"),
            QStringLiteral("No backup file selected."));
    return;
  }
  window_->hide();
  groupsBox_->setChecked(isRestoreGroupsAndSnippets);
  preferencesBox_->setChecked(isRestorePreferences);
  backupFirstBox_->setChecked(isTakeBackupBeforeRestore);
  const int answer = runOptionsPanel ? runOptionsPanel(restoreOptionsPanel) : 0;
  restoreOptionsPanel->hide();
  isRestoreGroupsAndSnippets = groupsBox_->isChecked();
  isRestorePreferences = preferencesBox_->isChecked();
  isTakeBackupBeforeRestore = backupFirstBox_->isChecked();
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
  } reenable{backupButton};
  backupButton->setEnabled(false);
  const bool hadSelection = !backupsTable->selectedItems().isEmpty();
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
    backupsTable->selectRow(row);
    restoreFile = chosen;
    showFileName(chosen);
    return;
  }
}

void RestoreWindowController::sheetClosed() { window_->hide(); }
