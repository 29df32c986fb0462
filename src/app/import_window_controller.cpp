#include "app/import_window_controller.h"

#include "ui_import_window_controller.h"

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
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

using ql::ImportSession;

namespace {

// By item of the kind pop-up.
struct Kind {
  const char* message;  // the file dialog's
  const char* extension;
};

const Kind kKinds[] = {
    {QT_TRANSLATE_NOOP("ImportWindowController", "Select Quillet (Mac) File :"), "qlxdoc"},
    {QT_TRANSLATE_NOOP("ImportWindowController", "Select Text Expander (Mac) File :"), "textexpander"},
    {QT_TRANSLATE_NOOP("ImportWindowController", "Select Quillet (Windows) File :"), "qlxdoc"},
};

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

}  // namespace

qint64 ImportWindowController::maximumFileSize() { return ql::plist::kMaxFileSize; }

ImportWindowController::ImportWindowController(QLSettings* settings, QWidget* parent)
    : settings(settings), ui_(std::make_unique<Ui::ImportWindow>()), session_(settings) {
  auto* dialog = new ImportDialog(this, parent);
  window_ = dialog;
  ui_->setupUi(dialog);
  window_->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
  // The options' tags are the stored choices.
  for (QButtonGroup* group : {ui_->groupMatrix, ui_->snippetMatrix}) {
    const QList<QAbstractButton*> buttons = group->buttons();
    for (QAbstractButton* button : buttons) group->setId(button, button->objectName().back().digitValue());
  }
  ui_->progressBar->setVisible(false);

  QTableWidget* table = ui_->tableView;
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  const QString titles[] = {tr("Found"), tr("Duplicates"), tr("Imported")};
  // Duplicates in red, imports in green; lighter shades on a dark list.
  const bool dark = table->palette().color(QPalette::Base).lightness() < 128;
  const QColor colours[] = {QColor(), dark ? QColor(255, 120, 110) : QColor(128, 0, 0),
                            dark ? QColor(110, 210, 100) : QColor(27, 145, 0)};
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      auto* item = new QTableWidgetItem(column == 0 ? titles[row] : QStringLiteral("0"));
      item->setFlags(Qt::ItemIsEnabled);
      if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (colours[row].isValid()) item->setForeground(colours[row]);
      table->setItem(row, column, item);
    }
  }
  table->resizeRowsToContents();
  table->setFixedHeight(table->horizontalHeader()->sizeHint().height() + 3 * table->rowHeight(0) +
                        2 * table->frameWidth());
  window_->resize(window_->sizeHint().expandedTo({520, 0}));

  connect(ui_->importTypePopup, &QComboBox::currentIndexChanged, this, [this] { actionImportTypeChanged(); });
  connect(ui_->groupMatrix, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) actionGroupOptionChanged();
  });
  connect(ui_->snippetMatrix, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) actionSnippetOptionChanged();
  });
  connect(ui_->convertCodesCheckBox, &QCheckBox::toggled, this, [this] { actionConvertCodesChanged(); });
  connect(ui_->selectButton, &QPushButton::clicked, this, [this] { actionSelectImport(); });
  connect(ui_->importButton, &QPushButton::clicked, this, [this] { actionImportImport(); });
  connect(ui_->saveButton, &QPushButton::clicked, this, [this] { actionSaveImport(); });
  connect(ui_->closeButton, &QPushButton::clicked, this, [this] { actionCloseImport(); });

  session_.onMessage = [this](const QString& text) { ui_->messageLabel->setText(text); };
  session_.onProgress = [this](qint64 read, qint64 total) {
    if (total > 0) {
      ui_->progressBar->setRange(0, 1000);
      ui_->progressBar->setValue(int(std::min<qint64>(1000, read * 1000 / total)));
    } else {
      ui_->progressBar->setRange(0, 0);  // busy until the total is known
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
  ui_->importTypePopup->setCurrentIndex(clampChoice(choices.importType));
  ui_->groupMatrix->button(clampChoice(choices.groupOption))->setChecked(true);
  ui_->snippetMatrix->button(clampChoice(choices.snippetOption))->setChecked(true);
  ui_->convertCodesCheckBox->setChecked(choices.convertCodes);
  ui_->convertCodesCheckBox->setEnabled(ui_->importTypePopup->currentIndex() == ImportSession::TextExpander);
  isLoading = false;
  session_.importType = ui_->importTypePopup->currentIndex();
  session_.groupOption = ui_->groupMatrix->checkedId();
  session_.snippetOption = ui_->snippetMatrix->checkedId();
  session_.convertCodes = choices.convertCodes;
  session_.importedSettings.reset();
  session_.resetCounts();
  closeAfterCheck_ = false;
  ui_->messageLabel->clear();
  ui_->progressBar->setVisible(false);
  ui_->importButton->setText(tr("Validate"));
  enabledDisableUI(true);
  reloadTable();
}

void ImportWindowController::storeChoices() const {
  if (isLoading) return;
  ql::ImportChoices c;
  c.importType = ui_->importTypePopup->currentIndex();
  c.groupOption = ui_->groupMatrix->checkedId();
  c.snippetOption = ui_->snippetMatrix->checkedId();
  c.convertCodes = ui_->convertCodesCheckBox->isChecked();
  c.save();
}

void ImportWindowController::actionImportTypeChanged() {
  ui_->convertCodesCheckBox->setEnabled(ui_->importTypePopup->currentIndex() == ImportSession::TextExpander &&
                                   ui_->importButton->text() == tr("Validate"));
  storeChoices();
  // A check of another kind of file no longer stands.
  if (isLoading || session_.importType == ui_->importTypePopup->currentIndex()) return;
  session_.importType = ui_->importTypePopup->currentIndex();
  session_.importedSettings.reset();
  session_.resetCounts();
  ui_->messageLabel->clear();
  reloadTable();
}

void ImportWindowController::actionGroupOptionChanged() {
  storeChoices();
  if (isLoading) return;
  session_.groupOption = ui_->groupMatrix->checkedId();
  trialMerge();
}

void ImportWindowController::actionSnippetOptionChanged() {
  storeChoices();
  if (isLoading) return;
  session_.snippetOption = ui_->snippetMatrix->checkedId();
  trialMerge();
}

void ImportWindowController::actionConvertCodesChanged() {
  storeChoices();
  if (isLoading) return;
  // The codes are converted while the file is read: a new check is needed.
  if (session_.convertCodes != ui_->convertCodesCheckBox->isChecked() && session_.importedSettings) {
    session_.importedSettings.reset();
    session_.resetCounts();
    ui_->messageLabel->setText(tr("Validate the file again to convert its codes."));
    reloadTable();
  }
  session_.convertCodes = ui_->convertCodesCheckBox->isChecked();
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
  const Kind& kind = kKinds[clampChoice(ui_->importTypePopup->currentIndex())];
  auto* dialog = new QFileDialog(window_, tr(kind.message));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setFileMode(QFileDialog::ExistingFile);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setNameFilter(tr("%1 files (*.%2)").arg(ui_->importTypePopup->currentText(), QString::fromLatin1(kind.extension)));
  if (QGuiApplication::platformName() == QLatin1String("offscreen"))
    dialog->setOption(QFileDialog::DontUseNativeDialog);
  const QFileInfo current(ui_->filenameTextField->text());
  if (current.dir().exists() && !ui_->filenameTextField->text().isEmpty()) dialog->setDirectory(current.dir());
  connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& path) {
    if (!settings || path.isEmpty()) return;
    ui_->filenameTextField->setText(path);
    session_.importedSettings.reset();
    session_.resetCounts();
    ui_->messageLabel->clear();
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
  const QString path = ui_->filenameTextField->text().trimmed();
  if (path.isEmpty()) {
    showAlert(ImportSession::kTitle, ImportSession::kSelectFile);
    return;
  }
  session_.path = path;
  session_.importType = clampChoice(ui_->importTypePopup->currentIndex());
  session_.groupOption = ui_->groupMatrix->checkedId();
  session_.snippetOption = ui_->snippetMatrix->checkedId();
  session_.convertCodes = ui_->convertCodesCheckBox->isChecked() && session_.importType == ImportSession::TextExpander;

  const QString refusal = refuseFile(path);
  if (!refusal.isEmpty()) {
    session_.importedSettings.reset();
    session_.resetCounts();
    reloadTable();
    ui_->messageLabel->setText(ImportSession::kInvalid);
    showAlert(ImportSession::kTitle, ImportSession::kInvalid + QStringLiteral("\n") + refusal);
    return;
  }

  enabledDisableUI(false);
  ui_->importButton->setText(tr("Cancel"));
  ui_->progressBar->setRange(0, 0);
  ui_->progressBar->setVisible(true);
  session_.resetCounts();
  reloadTable();
  const bool ok = session_.validateImport();
  const bool cancelled = !ok && session_.message.isEmpty();
  ui_->progressBar->setVisible(false);
  ui_->importButton->setText(tr("Validate"));
  enabledDisableUI(true);
  reloadTable();

  if (closeAfterCheck_) {
    actionCloseImport();
    return;
  }
  if (cancelled) {
    ui_->messageLabel->setText(tr("Validation cancelled."));
  } else if (!ok) {
    showAlert(ImportSession::kTitle, ImportSession::kInvalid);
  }
}

void ImportWindowController::actionSaveImport() {
  if (session_.isImporting()) return;
  session_.groupOption = ui_->groupMatrix->checkedId();
  session_.snippetOption = ui_->snippetMatrix->checkedId();
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
  for (QWidget* w : std::initializer_list<QWidget*>{ui_->importLabel, ui_->importTypePopup, ui_->filenameTextField, ui_->selectButton,
                                                    ui_->saveButton, ui_->closeButton})
    w->setEnabled(enabled);
  for (QAbstractButton* b : ui_->groupMatrix->buttons()) b->setEnabled(enabled);
  for (QAbstractButton* b : ui_->snippetMatrix->buttons()) b->setEnabled(enabled);
  ui_->convertCodesCheckBox->setEnabled(enabled && ui_->importTypePopup->currentIndex() == ImportSession::TextExpander);
}

void ImportWindowController::reloadTable() {
  const qint64 values[3][2] = {{session_.foundGroup, session_.foundSnippet},
                               {session_.duplicateGroup, session_.duplicateSnippet},
                               {session_.importedGroup, session_.importedSnippet}};
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 2; ++column)
      ui_->tableView->item(row, column + 1)->setText(QString::number(values[row][column]));
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
