#include "app/import_window_controller.h"

#include "model/import_choices.h"
#include "model/plist.h"
#include "model/ql_settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

using ql::ImportSession;

namespace {

struct Kind {
  const char* title;
  const char* message;  // the file dialog's
  const char* extension;
};

const Kind kKinds[] = {
    {"Quillet (Mac)", "Select Quillet (Mac) File :", "qlxdoc"},
    {"TextExpander (Mac)", "Select Text Expander (Mac) File :", "textexpander"},
    {"Quillet (Windows)", "Select Quillet (Windows) File :", "qlxdoc"},
};
constexpr int kKindCount = 3;

int clampChoice(int value) { return value >= 0 && value <= 2 ? value : 0; }

// Closing the window by the title bar or Escape is the close button.
class ImportDialog final : public QDialog {
 public:
  ImportDialog(ImportWindowController* controller, QWidget* parent)
      : QDialog(parent), controller_(controller) {}
  void reject() override { controller_->actionCloseImport(); }
  void closeForGood() { QDialog::reject(); }

 private:
  ImportWindowController* controller_;
};

QGroupBox* optionBox(const QString& title, QButtonGroup* group, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  auto* layout = new QVBoxLayout(box);
  const QString labels[] = {QObject::tr("Skip duplicates"), QObject::tr("Add duplicates as new"),
                            QObject::tr("Overwrite existing")};
  for (int tag = 0; tag < 3; ++tag) {
    auto* radio = new QRadioButton(labels[tag], box);
    group->addButton(radio, tag);
    layout->addWidget(radio);
  }
  return box;
}

}  // namespace

qint64 ImportWindowController::maximumFileSize() { return ql::plist::kMaxFileSize; }

ImportWindowController::ImportWindowController(QLSettings* settings, QWidget* parent)
    : settings(settings), session_(settings) {
  auto* dialog = new ImportDialog(this, parent);
  window_ = dialog;
  window_->setObjectName(QStringLiteral("Import"));
  window_->setWindowTitle(tr("Import Groups and Snippets"));
  window_->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);

  importLabel = new QLabel(tr("Import from:"), window_);
  importTypePopup = new QComboBox(window_);
  for (int i = 0; i < kKindCount; ++i) importTypePopup->addItem(tr(kKinds[i].title), i);
  filenameTextField = new QLineEdit(window_);
  filenameTextField->setPlaceholderText(tr("No file chosen"));
  selectButton = new QPushButton(tr("Choose…"), window_);
  convertCodesCheckBox = new QCheckBox(tr("Convert TextExpander codes to Quillet codes"), window_);

  groupMatrix = new QButtonGroup(this);
  snippetMatrix = new QButtonGroup(this);
  auto* groupBox = optionBox(tr("Duplicate groups"), groupMatrix, window_);
  auto* snippetBox = optionBox(tr("Duplicate snippets"), snippetMatrix, window_);

  tableView = new QTableWidget(3, 3, window_);
  tableView->setHorizontalHeaderLabels({QString(), tr("Groups"), tr("Snippets")});
  tableView->verticalHeader()->hide();
  tableView->setSelectionMode(QAbstractItemView::NoSelection);
  tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tableView->setFocusPolicy(Qt::NoFocus);
  tableView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  const QString titles[] = {tr("Found"), tr("Duplicates"), tr("Imported")};
  // Duplicates in red, imports in green; lighter shades on a dark list.
  const bool dark = tableView->palette().color(QPalette::Base).lightness() < 128;
  const QColor colours[] = {QColor(), dark ? QColor(255, 120, 110) : QColor(128, 0, 0),
                            dark ? QColor(110, 210, 100) : QColor(27, 145, 0)};
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      auto* item = new QTableWidgetItem(column == 0 ? titles[row] : QStringLiteral("0"));
      item->setFlags(Qt::ItemIsEnabled);
      if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (colours[row].isValid()) item->setForeground(colours[row]);
      tableView->setItem(row, column, item);
    }
  }
  tableView->resizeRowsToContents();
  const int tableHeight = tableView->horizontalHeader()->sizeHint().height() + 3 * tableView->rowHeight(0) +
                          2 * tableView->frameWidth();
  tableView->setFixedHeight(tableHeight);

  messageLabel = new QLabel(window_);
  messageLabel->setWordWrap(true);
  progressBar = new QProgressBar(window_);
  progressBar->setVisible(false);
  importButton = new QPushButton(tr("Validate"), window_);
  saveButton = new QPushButton(tr("Import"), window_);
  closeButton = new QPushButton(tr("Close"), window_);
  importButton->setAutoDefault(false);
  saveButton->setAutoDefault(false);
  closeButton->setAutoDefault(false);

  auto* grid = new QGridLayout;
  grid->addWidget(importLabel, 0, 0);
  grid->addWidget(importTypePopup, 0, 1, 1, 2);
  grid->addWidget(new QLabel(tr("File:"), window_), 1, 0);
  grid->addWidget(filenameTextField, 1, 1);
  grid->addWidget(selectButton, 1, 2);
  grid->addWidget(convertCodesCheckBox, 2, 1, 1, 2);
  grid->setColumnStretch(1, 1);
  auto* options = new QHBoxLayout;
  options->addWidget(groupBox);
  options->addWidget(snippetBox);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(importButton);
  buttons->addStretch(1);
  buttons->addWidget(closeButton);
  buttons->addWidget(saveButton);
  auto* layout = new QVBoxLayout(window_);
  layout->addLayout(grid);
  layout->addLayout(options);
  layout->addWidget(tableView);
  layout->addWidget(messageLabel);
  layout->addWidget(progressBar);
  layout->addLayout(buttons);
  window_->resize(window_->sizeHint().expandedTo({520, 0}));

  connect(importTypePopup, &QComboBox::currentIndexChanged, this, [this] { actionImportTypeChanged(); });
  connect(groupMatrix, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) actionGroupOptionChanged();
  });
  connect(snippetMatrix, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) actionSnippetOptionChanged();
  });
  connect(convertCodesCheckBox, &QCheckBox::toggled, this, [this] { actionConvertCodesChanged(); });
  connect(selectButton, &QPushButton::clicked, this, [this] { actionSelectImport(); });
  connect(importButton, &QPushButton::clicked, this, [this] { actionImportImport(); });
  connect(saveButton, &QPushButton::clicked, this, [this] { actionSaveImport(); });
  connect(closeButton, &QPushButton::clicked, this, [this] { actionCloseImport(); });

  session_.onMessage = [this](const QString& text) { messageLabel->setText(text); };
  session_.onProgress = [this](qint64 read, qint64 total) {
    if (total > 0) {
      progressBar->setRange(0, 1000);
      progressBar->setValue(int(std::min<qint64>(1000, read * 1000 / total)));
    } else {
      progressBar->setRange(0, 0);  // busy until the total is known
    }
    Q_EMIT progressed(read, total);
    // The file is read in steps between which the window handles its events:
    // it repaints, and Cancel reaches the check. Every other control is
    // disabled meanwhile, so nothing else can change under the reader.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  };
  resetView();
}

ImportWindowController::~ImportWindowController() {
  session_.onMessage = nullptr;
  session_.onProgress = nullptr;
  delete window_;
}

void ImportWindowController::showWindow() {
  resetView();
  // open() would make it modal to a parent it does not have, that is to
  // nothing: the library and the other windows would change under a check
  // or merge and leave its counts stale.
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void ImportWindowController::resetView() {
  isLoading = true;
  const ql::ImportChoices choices = ql::ImportChoices::load();
  // A stored choice outside the offered ones (an edited defaults file) falls
  // back to the first.
  importTypePopup->setCurrentIndex(clampChoice(choices.importType));
  groupMatrix->button(clampChoice(choices.groupOption))->setChecked(true);
  snippetMatrix->button(clampChoice(choices.snippetOption))->setChecked(true);
  convertCodesCheckBox->setChecked(choices.convertCodes);
  convertCodesCheckBox->setEnabled(importTypePopup->currentIndex() == ImportSession::TextExpander);
  isLoading = false;
  session_.importType = importTypePopup->currentIndex();
  session_.groupOption = groupMatrix->checkedId();
  session_.snippetOption = snippetMatrix->checkedId();
  session_.convertCodes = choices.convertCodes;
  session_.importedSettings.reset();
  session_.resetCounts();
  closeAfterCheck_ = false;
  messageLabel->clear();
  progressBar->setVisible(false);
  importButton->setText(tr("Validate"));
  enabledDisableUI(true);
  reloadTable();
}

void ImportWindowController::storeChoices() const {
  if (isLoading) return;
  ql::ImportChoices c;
  c.importType = importTypePopup->currentIndex();
  c.groupOption = groupMatrix->checkedId();
  c.snippetOption = snippetMatrix->checkedId();
  c.convertCodes = convertCodesCheckBox->isChecked();
  c.save();
}

void ImportWindowController::actionImportTypeChanged() {
  convertCodesCheckBox->setEnabled(importTypePopup->currentIndex() == ImportSession::TextExpander &&
                                   importButton->text() == tr("Validate"));
  storeChoices();
  // A check of another kind of file no longer stands.
  if (isLoading || session_.importType == importTypePopup->currentIndex()) return;
  session_.importType = importTypePopup->currentIndex();
  session_.importedSettings.reset();
  session_.resetCounts();
  messageLabel->clear();
  reloadTable();
}

void ImportWindowController::actionGroupOptionChanged() {
  storeChoices();
  if (isLoading) return;
  session_.groupOption = groupMatrix->checkedId();
  trialMerge();
}

void ImportWindowController::actionSnippetOptionChanged() {
  storeChoices();
  if (isLoading) return;
  session_.snippetOption = snippetMatrix->checkedId();
  trialMerge();
}

void ImportWindowController::actionConvertCodesChanged() {
  storeChoices();
  if (isLoading) return;
  // The codes are converted while the file is read: a new check is needed.
  if (session_.convertCodes != convertCodesCheckBox->isChecked() && session_.importedSettings) {
    session_.importedSettings.reset();
    session_.resetCounts();
    messageLabel->setText(tr("Validate the file again to convert its codes."));
    reloadTable();
  }
  session_.convertCodes = convertCodesCheckBox->isChecked();
}

void ImportWindowController::trialMerge() {
  // The imported row shows what a merge with the options now chosen does.
  if (!session_.importedSettings || !settings) return;
  session_.importedGroup = 0;
  session_.importedSnippet = 0;
  const auto trial = ql::deepCopy(*settings);
  session_.import(trial.get());
  reloadTable();
}

void ImportWindowController::actionSelectImport() {
  const Kind& kind = kKinds[clampChoice(importTypePopup->currentIndex())];
  auto* dialog = new QFileDialog(window_, tr(kind.message));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setFileMode(QFileDialog::ExistingFile);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setNameFilter(tr("%1 files (*.%2)").arg(tr(kind.title), QString::fromLatin1(kind.extension)));
  if (QGuiApplication::platformName() == QLatin1String("offscreen"))
    dialog->setOption(QFileDialog::DontUseNativeDialog);
  const QFileInfo current(filenameTextField->text());
  if (current.dir().exists() && !filenameTextField->text().isEmpty()) dialog->setDirectory(current.dir());
  connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& path) {
    if (!settings || path.isEmpty()) return;
    filenameTextField->setText(path);
    session_.importedSettings.reset();
    session_.resetCounts();
    messageLabel->clear();
    reloadTable();
  });
  dialog->open();
}

QString ImportWindowController::refuseFile(const QString& path) const {
  const QFileInfo info(path);
  if (!info.exists()) return tr("The file does not exist.");
  if (!info.isFile()) return tr("This is a folder, not a file.");
  if (info.size() == 0) return tr("The file is empty.");
  if (info.size() > maximumFileSize())
    return tr("The file is larger than %1 MB; no library is that large.").arg(maximumFileSize() >> 20);
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return tr("You are not allowed to read this file.");
  return {};
}

void ImportWindowController::actionImportImport() {
  if (session_.isImporting()) {
    session_.cancel();
    return;
  }
  const QString path = filenameTextField->text().trimmed();
  if (path.isEmpty()) {
    showAlert(ImportSession::kTitle, ImportSession::kSelectFile);
    return;
  }
  session_.path = path;
  session_.importType = clampChoice(importTypePopup->currentIndex());
  session_.groupOption = groupMatrix->checkedId();
  session_.snippetOption = snippetMatrix->checkedId();
  session_.convertCodes = convertCodesCheckBox->isChecked() && session_.importType == ImportSession::TextExpander;

  const QString refusal = refuseFile(path);
  if (!refusal.isEmpty()) {
    session_.importedSettings.reset();
    session_.resetCounts();
    reloadTable();
    messageLabel->setText(ImportSession::kInvalid);
    showAlert(ImportSession::kTitle, ImportSession::kInvalid + QStringLiteral("\n") + refusal);
    return;
  }

  enabledDisableUI(false);
  importButton->setText(tr("Cancel"));
  progressBar->setRange(0, 0);
  progressBar->setVisible(true);
  session_.resetCounts();
  reloadTable();
  const bool ok = session_.validateImport();
  const bool cancelled = !ok && session_.message.isEmpty();
  progressBar->setVisible(false);
  importButton->setText(tr("Validate"));
  enabledDisableUI(true);
  reloadTable();

  if (closeAfterCheck_) {
    actionCloseImport();
    return;
  }
  if (cancelled) {
    messageLabel->setText(tr("Validation cancelled."));
  } else if (!ok) {
    showAlert(ImportSession::kTitle, ImportSession::kInvalid);
  }
}

void ImportWindowController::actionSaveImport() {
  if (session_.isImporting()) return;
  session_.groupOption = groupMatrix->checkedId();
  session_.snippetOption = snippetMatrix->checkedId();
  if (!session_.import(settings)) {
    showAlert(ImportSession::kTitle, ImportSession::kUnableToImport);
    return;
  }
  reloadTable();
  if (!settings->saveSettings()) {
    // The records are merged; only the file lags behind. Say so rather
    // than pretend the library is safe on disk.
    showAlert(ImportSession::kTitle, tr("The groups and snippets were imported but the library could not be "
                                        "saved.\nIt is saved again with the next change."));
  }
  session_.importedSettings.reset();
  static_cast<ImportDialog*>(window_.data())->closeForGood();
  if (delegate) delegate->ImportCompleted(this);
}

void ImportWindowController::actionCloseImport() {
  if (session_.isImporting()) {
    // The reader is below us on the stack: stop it, and close when it has
    // returned.
    closeAfterCheck_ = true;
    session_.cancel();
    return;
  }
  closeAfterCheck_ = false;
  session_.importedSettings.reset();
  if (window_) static_cast<ImportDialog*>(window_.data())->closeForGood();
}

void ImportWindowController::enabledDisableUI(bool enabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{importLabel, importTypePopup, filenameTextField, selectButton,
                                                    saveButton, closeButton})
    w->setEnabled(enabled);
  for (QAbstractButton* b : groupMatrix->buttons()) b->setEnabled(enabled);
  for (QAbstractButton* b : snippetMatrix->buttons()) b->setEnabled(enabled);
  convertCodesCheckBox->setEnabled(enabled && importTypePopup->currentIndex() == ImportSession::TextExpander);
}

void ImportWindowController::reloadTable() {
  const qint64 values[3][2] = {{session_.foundGroup, session_.foundSnippet},
                               {session_.duplicateGroup, session_.duplicateSnippet},
                               {session_.importedGroup, session_.importedSnippet}};
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 2; ++column)
      tableView->item(row, column + 1)->setText(QString::number(values[row][column]));
}

void ImportWindowController::showAlert(const QString& text, const QString& informative) {
  if (alert_) alert_->close();
  auto* box = new QMessageBox(QMessageBox::Critical, tr("Import Groups and Snippets"), text, QMessageBox::Ok,
                              window_);
  box->setInformativeText(informative);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::WindowModal);
  alert_ = box;
  box->open();
}
