#include "ui/library_window_controller.h"

#include "ui_library_window_controller.h"

#include "content/text/flat_rtfd.h"
#include "platform/log.h"
#include "ui/custom_outline_view.h"
#include "ui/group_printer.h"
#include "ui/group_view_controller.h"
#include "ui/library_outline_model.h"
#include "ui/outline_command.h"
#include "ui/outline_row_delegate.h"
#include "ui/snippet_view_controller.h"
#include "ui/text_document_bridge.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include <exception>

bool LibraryWindowController::sortAscending = true;

namespace {

const QString kFrameKey = QStringLiteral("LibraryWindowFrame");
const QString kSplitKey = QStringLiteral("LibraryWindowSplit");
const char* const kDuplicateTip =
    QT_TRANSLATE_NOOP("LibraryWindowController", "Error : The abbreviation \"%1\" is already in use!");

QIcon themeIcon(const QString& name, QStyle::StandardPixmap fallback) {
  return QIcon::fromTheme(name, QApplication::style()->standardIcon(fallback));
}

int criticalQuestion(QWidget* parent, const QString& message, const QString& details,
                     const QString& defaultButton, const QString& otherButton) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Quillet"), message, QMessageBox::NoButton,
                  parent);
  box.setInformativeText(details);
  box.setWindowModality(Qt::WindowModal);
  QPushButton* yes = box.addButton(defaultButton, QMessageBox::AcceptRole);
  box.addButton(otherButton, QMessageBox::RejectRole);
  box.setDefaultButton(yes);
  box.exec();
  return box.clickedButton() == yes ? 1 : 0;
}

void criticalAlert(QWidget* parent, const QString& message, const QString& details) {
  auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Quillet"), message,
                              QMessageBox::Ok, parent);
  box->setInformativeText(details);
  box->setWindowModality(Qt::WindowModal);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

}  // namespace

LibraryWindowController::LibraryWindowController(QLSettings* settings,
                                                 LibraryWindowControllerDelegate* delegate,
                                                 QObject* parent)
    : QObject(parent), ui_(std::make_unique<Ui::LibraryWindow>()), settings_(settings), delegate_(delegate) {
  window_ = std::make_unique<QMainWindow>();
  ui_->setupUi(window_.get());
  window_->installEventFilter(this);
  QWidget* w = window_.get();
  confirm = [w](const QString& m, const QString& d, const QString& a, const QString& b) {
    return criticalQuestion(w, m, d, a, b);
  };
  showAlert = [w](const QString& m, const QString& d) { criticalAlert(w, m, d); };
  chooseSaveFile = [w](const QString& title, const QString& suggested) {
    QFileDialog dialog(w, title, suggested, tr("Quillet Files (*.qlxdoc)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("qlxdoc"));
    dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().first()
               : QString();
  };
  choosePrinter = [w](QPrinter* printer) {
    QPrintDialog dialog(printer, w);
    dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec() == QDialog::Accepted;
  };
  choosePageSetup = [w](QPrinter* printer) {
    QPageSetupDialog dialog(printer, w);
    dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec() == QDialog::Accepted;
  };

  undoStack_ = new QUndoStack(this);
  // Undone deletions keep their records (images included) alive.
  undoStack_->setUndoLimit(200);
  model_ = new LibraryOutlineModel(this);
  model_->setSettings(settings_);
  model_->dropHandler = [this](const QStringList& uuids, const GroupPtr& source,
                               const GroupPtr& target,
                               bool copy) { return dropSnippets(uuids, source, target, copy); };
  connect(model_, &LibraryOutlineModel::saveFailed, this, [this] {
    showAlert(tr("Unable to save the library!"),
              tr("Quillet could not write \"%1\". Your changes are kept while Quillet "
                             "runs and saved with the next change that can be written.")
                  .arg(QDir::toNativeSeparators(QLSettings::settingsPath())));
  });
  buildWindow();
  buildMenus();
  buildToolbar();
  // The last edit is saved, and on disk, before the program ends.
  connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
    finishEditing();
    model_->waitForSaves();
  });

  // The window's state before start-up has finished.
  labelGroupCount_->setText(QStringLiteral("0"));
  labelSnippetsCount_->setText(QStringLiteral("0"));
  labelSelection_->setText(QString());
  tabView_->setCurrentIndex(0);
  searchTextField_->setEnabled(false);
}

LibraryWindowController::~LibraryWindowController() {
  if (snippetView_) snippetView_->delegate = nullptr;
  if (groupView_) groupView_->delegate = nullptr;
  if (outlineView_) outlineView_->setModel(nullptr);
  window_.reset();
}

QMainWindow* LibraryWindowController::window() const { return window_.get(); }

void LibraryWindowController::buildWindow() {
  outlineView_ = new CustomOutlineView;
  outlineView_->setObjectName(QStringLiteral("outline"));
  rowDelegate_ = new OutlineRowDelegate(outlineView_);
  rowDelegate_->groupImage = themeIcon(QStringLiteral("folder"), QStyle::SP_DirIcon);
  rowDelegate_->snippetImage = themeIcon(QStringLiteral("text-x-generic"), QStyle::SP_FileIcon);
  outlineView_->setItemDelegate(rowDelegate_);
  outlineView_->setModel(model_);
  connect(outlineView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &LibraryWindowController::outlineViewSelectionDidChange);
  connect(outlineView_, &QTreeView::expanded, this,
          [this](const QModelIndex& i) { outlineViewItemDidExpand(i, true); });
  connect(outlineView_, &QTreeView::collapsed, this,
          [this](const QModelIndex& i) { outlineViewItemDidExpand(i, false); });
  connect(outlineView_, &CustomOutlineView::deleteRequested, this,
          &LibraryWindowController::actionTrash);

  tabView_ = new QStackedWidget;
  labelSelection_ = new QLabel;
  labelSelection_->setAlignment(Qt::AlignCenter);
  labelSelection_->setEnabled(false);
  tabView_->addWidget(labelSelection_);

  groupView_ = new GroupViewController;
  groupView_->delegate = this;
  tabView_->addWidget(groupView_);

  snippetView_ = new SnippetViewController;
  snippetView_->delegate = this;
  snippetView_->preferences = settings_ ? &settings_->preferences : nullptr;
  tabView_->addWidget(snippetView_);

  auto* splitter = new QSplitter(Qt::Horizontal);
  splitter->setObjectName(QStringLiteral("splitView"));
  splitter->addWidget(outlineView_);
  splitter->addWidget(tabView_);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({300, 560});
  splitter->setChildrenCollapsible(false);
  window_->setCentralWidget(splitter);

  QStatusBar* bar = window_->statusBar();
  bar->setSizeGripEnabled(true);
  auto caption = [](const QString& text) {
    auto* l = new QLabel(text);
    l->setEnabled(false);
    return l;
  };
  labelGroupCount_ = new QLabel;
  labelSnippetsCount_ = new QLabel;
  errorBox_ = new QLabel;
  errorBox_->setPixmap(
      QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(16, 16));
  errorBox_->setObjectName(QStringLiteral("errorBox"));
  errorBox_->hide();
  labelAutoBackup_ = new QLabel;
  labelNextBackup_ = new QLabel;
  for (QLabel* l : {labelAutoBackup_, labelNextBackup_}) l->setEnabled(false);
  bar->addWidget(caption(tr("Groups:")));
  bar->addWidget(labelGroupCount_);
  bar->addWidget(caption(tr("Snippets:")));
  bar->addWidget(labelSnippetsCount_);
  bar->addWidget(errorBox_);
  bar->addPermanentWidget(labelAutoBackup_);
  bar->addPermanentWidget(labelNextBackup_);

}

void LibraryWindowController::buildMenus() {
  Ui::LibraryWindow& ui = *ui_;
  // The platform's own keys for the standard commands.
  const std::pair<QAction*, QKeySequence::StandardKey> standardKeys[] = {
      {ui.actionNewSnippet, QKeySequence::New},    {ui.actionPrintAsGroup, QKeySequence::Print},
      {ui.actionCloseWindow, QKeySequence::Close}, {ui.actionQuit, QKeySequence::Quit},
      {ui.actionUndo, QKeySequence::Undo},         {ui.actionCut, QKeySequence::Cut},
      {ui.actionCopy, QKeySequence::Copy},         {ui.actionPaste, QKeySequence::Paste},
      {ui.actionFind, QKeySequence::Find},         {ui.actionHelp, QKeySequence::HelpContents}};
  for (const auto& [action, key] : standardKeys) action->setShortcut(key);
  const auto on = [this](QAction* action, auto slot) { connect(action, &QAction::triggered, this, slot); };
  const auto tell = [this](QAction* action, void (LibraryWindowControllerDelegate::*call)()) {
    connect(action, &QAction::triggered, this, [this, call] {
      if (delegate_) (delegate_->*call)();
    });
  };

  on(ui.actionNewGroup, &LibraryWindowController::actionNewGroup);
  on(ui.actionNewSnippet, &LibraryWindowController::actionNewSnippet);
  tell(ui.actionImport, &LibraryWindowControllerDelegate::actionImport);
  on(ui.actionSaveAsGroup, &LibraryWindowController::actionSaveAsGroup);
  on(ui.actionPageSetup, &LibraryWindowController::actionPageSetup);
  on(ui.actionPrintAsGroup, &LibraryWindowController::actionPrintAsGroup);
  on(ui.actionPrintAllGroups, &LibraryWindowController::actionPrintAllGroup);
  tell(ui.actionBackUpNow, &LibraryWindowControllerDelegate::actionBackupNow);
  tell(ui.actionRestore, &LibraryWindowControllerDelegate::actionRestore);
  on(ui.actionCloseWindow, [this] { window_->close(); });
  on(ui.actionQuit, [] { QCoreApplication::quit(); });

  on(ui.actionUndo, [this] {
    editAction("undo", [this] {
      finishEditing();
      undoStack_->undo();
    });
  });
  on(ui.actionRedo, [this] {
    editAction("redo", [this] {
      finishEditing();
      undoStack_->redo();
    });
  });
  connect(undoStack_, &QUndoStack::undoTextChanged, ui.actionUndo, [undo = ui.actionUndo](const QString& t) {
    undo->setText(t.isEmpty() ? tr("Undo") : tr("Undo %1").arg(t));
  });
  connect(undoStack_, &QUndoStack::redoTextChanged, ui.actionRedo, [redo = ui.actionRedo](const QString& t) {
    redo->setText(t.isEmpty() ? tr("Redo") : tr("Redo %1").arg(t));
  });
  on(ui.actionCut, [this] { editAction("cut", [this] { actionCutSnippet(); }); });
  on(ui.actionCopy, [this] { editAction("copy", [this] { actionCopySnippet(); }); });
  on(ui.actionPaste, [this] { editAction("paste", [this] { actionPasteSnippet(); }); });
  on(ui.actionDuplicate, &LibraryWindowController::actionDuplicate);
  on(ui.actionDelete, &LibraryWindowController::actionTrash);
  on(ui.actionFind, [this] {
    searchTextField_->setFocus(Qt::ShortcutFocusReason);
    searchTextField_->selectAll();
  });

  // The sort keys' tags, in menu order.
  const QList<QAction*> sortKeys = ui.sortMenu->actions();
  for (int i = 0; i < sortKeys.size(); ++i) on(sortKeys[i], [this, tag = i + 1] { actionSort(tag); });
  on(ui.actionExpandAll, [this] { outlineView_->expandAll(); });
  on(ui.actionCollapseAll, [this] { outlineView_->collapseAll(); });

  on(ui.actionMinimize, [this] { window_->showMinimized(); });
  tell(ui.actionPreferences, &LibraryWindowControllerDelegate::actionPreferences);
  tell(ui.actionStatistics, &LibraryWindowControllerDelegate::actionStatistics);
  tell(ui.actionDisableQuillet, &LibraryWindowControllerDelegate::actionDisableQuillet);
  connect(ui.menuWindow, &QMenu::aboutToShow, this, [this] {
    const bool on = delegate_ ? delegate_->isExpansionEnabled() : true;
    ui_->actionDisableQuillet->setText(on ? tr("Disable Quillet") : tr("Enable Quillet"));
  });
  tell(ui.actionHelp, &LibraryWindowControllerDelegate::helpAction);

  // The outline's context menu: cut and copy act on a snippet row, paste
  // needs something copied.
  contextMenu_ = new QMenu(outlineView_);
  QAction* cut = contextMenu_->addAction(tr("Cut"), this, &LibraryWindowController::actionCutSnippet);
  QAction* copy = contextMenu_->addAction(tr("Copy"), this, &LibraryWindowController::actionCopySnippet);
  QAction* paste = contextMenu_->addAction(tr("Paste"), this, &LibraryWindowController::actionPasteSnippet);
  contextMenu_->addAction(tr("Duplicate"), this, &LibraryWindowController::actionDuplicate);
  contextMenu_->addSeparator();
  contextMenu_->addAction(tr("Delete…"), this, &LibraryWindowController::actionTrash);
  outlineView_->contextMenu = contextMenu_;
  connect(outlineView_, &CustomOutlineView::contextMenuAboutToShow, this,
          [this, cut, copy, paste](const QModelIndex& i) {
            const bool snippet = !model_->isGroup(i);
            cut->setEnabled(snippet);
            copy->setEnabled(snippet);
            paste->setEnabled(bool(outlineView_->snippetCopy));
          });
}

void LibraryWindowController::buildToolbar() {
  ui_->toolbarNewGroup->setIcon(themeIcon(QStringLiteral("folder-new"), QStyle::SP_FileDialogNewFolder));
  ui_->toolbarNewSnippet->setIcon(themeIcon(QStringLiteral("document-new"), QStyle::SP_FileIcon));
  ui_->toolbarDelete->setIcon(themeIcon(QStringLiteral("edit-delete"), QStyle::SP_TrashIcon));
  connect(ui_->toolbarNewGroup, &QAction::triggered, this, &LibraryWindowController::actionNewGroup);
  connect(ui_->toolbarNewSnippet, &QAction::triggered, this, &LibraryWindowController::actionNewSnippet);
  connect(ui_->toolbarDelete, &QAction::triggered, this, &LibraryWindowController::actionTrash);
  // After the actions: the sort pop-up, then the search field at the far end.
  QToolBar* bar = ui_->toolbar;
  auto* sort = new QToolButton;
  sort->setText(tr("Sort"));
  sort->setIcon(themeIcon(QStringLiteral("view-sort-ascending"), QStyle::SP_ArrowDown));
  sort->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  sort->setMenu(ui_->sortMenu);
  sort->setPopupMode(QToolButton::InstantPopup);
  bar->addWidget(sort);
  auto* spacer = new QWidget;
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  bar->addWidget(spacer);
  searchTextField_ = new QLineEdit;
  searchTextField_->setObjectName(QStringLiteral("search"));
  searchTextField_->setPlaceholderText(tr("Search"));
  searchTextField_->setClearButtonEnabled(true);
  searchTextField_->setMaximumWidth(240);
  bar->addWidget(searchTextField_);
  connect(searchTextField_, &QLineEdit::textChanged, this, &LibraryWindowController::actionSearchChanged);
}

bool LibraryWindowController::validateToolbarItem(const QAction* item) const {
  if (item && item->text().toUpper() == QStringLiteral("DELETE"))
    return outlineView_->selectionModel()->hasSelection();
  return true;
}

void LibraryWindowController::setBackupLabels(const QString& autoBackup, const QString& nextBackup,
                                              bool failed, const QString& toolTip) {
  labelAutoBackup_->setText(autoBackup);
  labelNextBackup_->setText(nextBackup);
  for (QLabel* label : {labelAutoBackup_, labelNextBackup_}) {
    // A red that stays readable on a dark window as on a light one; no
    // style sheet gives the label back the window's colours.
    const bool dark = label->palette().color(QPalette::Window).lightness() < 128;
    label->setStyleSheet(failed ? QStringLiteral("color: %1;").arg(dark ? QStringLiteral("#ff6b60")
                                                                        : QStringLiteral("#c41e14"))
                                : QString());
    label->setToolTip(failed ? toolTip : QString());
    // Greyed out as a rule; a disabled label would show neither the red
    // nor its tool tip.
    label->setEnabled(failed);
  }
}

void LibraryWindowController::showDamagedSettingsAlert(const QString& movedTo) {
  showAlert(tr("The settings file could not be read."),
            tr("It was moved aside to \"%1\" and Quillet started with an empty "
                           "library. Restore a backup to get your snippets back.")
                .arg(QDir::toNativeSeparators(movedTo)));
}

void LibraryWindowController::showWindow() {
  if (!frameRestored_) {
    frameRestored_ = true;
    QSettings defaults;
    window_->restoreGeometry(defaults.value(kFrameKey).toByteArray());
  }
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void LibraryWindowController::saveFrame() const {
  QSettings defaults;
  defaults.setValue(kFrameKey, window_->saveGeometry());
}

bool LibraryWindowController::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_.get()) {
    if (event->type() == QEvent::Close) {
      finishEditing();
      saveFrame();
    } else if (event->type() == QEvent::WindowActivate && delegate_) {
      delegate_->windowDidBecomeKey();
    }
  }
  return QObject::eventFilter(watched, event);
}

void LibraryWindowController::finishEditing() {
  if (snippetView_) snippetView_->finishEditing();
}

void LibraryWindowController::resetView() {
  isResettingOutlineView = true;
  try {
    if (settings_ && !settings_->groups.isEmpty()) {
      outlineView_->setFocus(Qt::OtherFocusReason);
      selectVisualRow(0);
      for (const GroupPtr& g : settings_->groups) {
        const QModelIndex i = model_->indexOfGroup(g.get());
        if (i.isValid()) outlineView_->setExpanded(i, g->isExpanded);
      }
    } else {
      labelSelection_->setText(tr("No Snippets"));
      tabView_->setCurrentIndex(0);
    }
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("resetView"), QString::fromUtf8(e.what()));
  }
  isResettingOutlineView = false;
  refreshCounters();
}

void LibraryWindowController::followReloadedLibrary() {
  const GroupPtr group = selectedGroup();
  const SnippetPtr snippet = selectedSnippet();
  const QString groupUuid = group ? group->uuid : QString();
  const QString snippetUuid = snippet ? snippet->uuid : QString();
  model_->setSettings(settings_);
  // Undo steps refer to records that may be gone.
  undoStack_->clear();
  resetView();
  if (!settings_) return;
  if (const SnippetPtr s = snippetUuid.isEmpty() ? nullptr : settings_->getSnippetByUUID(snippetUuid)) {
    // It may have moved to another group meanwhile.
    GroupPtr g = settings_->getGroupByUUID(s->groupUuid.value_or(QString()));
    if (!g || !g->snippts.contains(s->uuid)) g = settings_->getGroupByUUID(groupUuid);
    if (g && g->snippts.contains(s->uuid)) {
      selectSnippet(g.get(), s.get());
      return;
    }
  }
  if (const GroupPtr g = groupUuid.isEmpty() ? nullptr : settings_->getGroupByUUID(groupUuid))
    selectGroup(g.get());
}

void LibraryWindowController::outlineViewItemDidExpand(const QModelIndex& index, bool expanded) {
  const GroupPtr g = model_->isGroup(index) ? model_->groupAt(index) : nullptr;
  if (!g || g->isExpanded == expanded) return;
  g->isExpanded = expanded;
  if (!isResettingOutlineView) model_->save(g.get(), nullptr);
}

GroupPtr LibraryWindowController::selectedGroup() const {
  const QModelIndexList rows = outlineView_->selectionModel()->selectedRows();
  return rows.isEmpty() ? nullptr : model_->groupAt(rows.last());
}

SnippetPtr LibraryWindowController::selectedSnippet() const {
  const QModelIndexList rows = outlineView_->selectionModel()->selectedRows();
  return rows.isEmpty() ? nullptr : model_->snippetAt(rows.last());
}

void LibraryWindowController::selectGroup(const QLGroup* group) {
  const QModelIndex i = model_->indexOfGroup(group);
  if (!i.isValid()) return;
  outlineView_->setCurrentIndex(i);
  outlineView_->scrollTo(i);
}

void LibraryWindowController::selectSnippet(const QLGroup* group, const QLSnippet* snippet) {
  const QModelIndex i = model_->indexOfSnippet(group, snippet);
  if (!i.isValid()) return;
  outlineView_->expand(i.parent());
  outlineView_->setCurrentIndex(i);
  outlineView_->scrollTo(i);
}

int LibraryWindowController::selectedVisualRow() const {
  const QModelIndexList rows = outlineView_->selectionModel()->selectedRows();
  if (rows.isEmpty()) return -1;
  int row = 0;
  for (QModelIndex i = model_->index(0, 0); i.isValid(); i = outlineView_->indexBelow(i), ++row)
    if (i == rows.last()) return row;
  return -1;
}

void LibraryWindowController::selectVisualRow(int row) {
  QModelIndex i = model_->index(0, 0);
  for (int r = 0; r < row && i.isValid(); ++r) i = outlineView_->indexBelow(i);
  if (i.isValid()) {
    outlineView_->setCurrentIndex(i);
    outlineView_->scrollTo(i);
  } else {
    outlineView_->selectionModel()->clear();
    outlineViewSelectionDidChange();
  }
}

void LibraryWindowController::reselectAfterRemoval(int row) {
  QModelIndex i = model_->index(0, 0);
  for (int r = 0; r < row && i.isValid(); ++r) i = outlineView_->indexBelow(i);
  if (i.isValid()) {
    selectVisualRow(row);
  } else if (model_->rowCount() > 0) {
    selectVisualRow(0);
  } else {
    outlineView_->selectionModel()->clear();
    outlineViewSelectionDidChange();
  }
  refreshCounters();
}

void LibraryWindowController::refreshCounters() {
  labelGroupCount_->setText(QString::number(model_->groupCount()));
  labelSnippetsCount_->setText(QString::number(model_->snippetCount()));
  searchTextField_->setEnabled(model_->snippetCount() > 0 || !searchTextField_->text().isEmpty());
  ui_->toolbarDelete->setEnabled(validateToolbarItem(ui_->toolbarDelete));
  ui_->actionPrintAllGroups->setEnabled(model_->groupCount() > 0);
}

void LibraryWindowController::updateErrorBox(const SnippetPtr& snippet) {
  errorBox_->hide();
  errorBox_->setToolTip(QString());
  if (snippet && model_->isDuplicateSnippetAbbreviation(snippet->abbreviation)) {
    errorBox_->setToolTip(tr(kDuplicateTip).arg(snippet->abbreviation));
    errorBox_->show();
  }
}

void LibraryWindowController::setGroupMenuItems(const GroupPtr& group) {
  if (!group) {
    ui_->actionSaveAsGroup->setText(tr("Save a Copy of Group…"));
    ui_->actionPrintAsGroup->setText(tr("Print Group…"));
    ui_->actionSaveAsGroup->setData(QString());
    ui_->actionPrintAsGroup->setData(QString());
  } else {
    QString name = group->name.left(40);
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    ui_->actionSaveAsGroup->setText(tr("Save a Copy of Group \"%1\"…").arg(name));
    ui_->actionPrintAsGroup->setText(tr("Print Group \"%1\"…").arg(name));
    ui_->actionSaveAsGroup->setData(group->uuid);
    ui_->actionPrintAsGroup->setData(group->uuid);
  }
  ui_->actionSaveAsGroup->setEnabled(bool(group));
  ui_->actionPrintAsGroup->setEnabled(bool(group));
}

void LibraryWindowController::outlineViewSelectionDidChange() {
  refreshCounters();
  errorBox_->hide();
  errorBox_->setToolTip(QString());
  const QModelIndexList rows = outlineView_->selectionModel()->selectedRows();
  if (rows.isEmpty()) {
    snippetView_->setSnippet(nullptr);
    groupView_->setGroup(nullptr);
    labelSelection_->setText(model_->groupCount() > 0 ? tr("Empty Selection")
                                                      : tr("No Snippets"));
    tabView_->setCurrentIndex(0);
    setGroupMenuItems(nullptr);
    return;
  }
  const QModelIndex row = rows.last();
  const GroupPtr group = model_->groupAt(row);
  if (model_->isGroup(row)) {
    snippetView_->setSnippet(nullptr);
    groupView_->setGroup(group);
    tabView_->setCurrentIndex(1);
    setGroupMenuItems(group);
    return;
  }
  const SnippetPtr snippet = model_->snippetAt(row);
  groupView_->setGroup(nullptr);
  snippetView_->setSnippet(snippet);
  setGroupMenuItems(group);
  tabView_->setCurrentIndex(2);
  updateErrorBox(snippet);
}

void LibraryWindowController::SnippetViewControllerDidFinish(SnippetViewController* editor) {
  const SnippetPtr snippet = editor->snippet();
  if (!snippet) return;
  editor->updateView();
  snippet->dateModified = QDateTime::currentDateTimeUtc();
  model_->save(nullptr, snippet.get());
  model_->itemChanged(nullptr, snippet.get());
  if (editor->snippet() == selectedSnippet()) updateErrorBox(snippet);
  outlineView_->viewport()->update();
  if (delegate_) delegate_->libraryChanged();
}

void LibraryWindowController::GroupViewControllerDidFinish(GroupViewController* editor) {
  const GroupPtr group = editor->group();
  if (!group) return;
  group->dateModified = QDateTime::currentDateTimeUtc();
  model_->save(group.get(), nullptr);
  model_->itemChanged(group.get(), nullptr);
  if (group == selectedGroup()) setGroupMenuItems(group);
  outlineView_->viewport()->update();
  if (delegate_) delegate_->libraryChanged();
}

GroupPtr LibraryWindowController::getCurrentGroup() {
  if (!settings_) return nullptr;
  if (settings_->groups.isEmpty()) return model_->addGroup(QString(), nullptr, true);
  return selectedGroup();
}

QByteArray LibraryWindowController::getEmptyRichTextWithDefaultFont() const {
  try {
    QFont font;
    if (settings_) {
      const ql::PlistDict& d = settings_->preferences.formattedSnippetFont;
      font = QFont(QLPreferences::fontName(d));
      const double size = QLPreferences::fontSize(d);
      font.setPointSizeF(size > 0 ? size : 12.0);
    }
    // Twelve tab stops, a centimetre (567 twips) apart where the user
    // measures so, else half an inch.
    const bool centimetres = QSettings().value(QStringLiteral("AppleMeasurementUnits")).toString() ==
                             QLatin1String("Centimeters");
    QList<int> tabs;
    for (int i = 1; i <= 12; ++i) tabs.append(i * (centimetres ? 567 : 720));
    const ql::TextAttributes typing = ql::attributesForFont(font, tabs);
    return ql::writeFlatRtfd(ql::AttributedText(), &typing);
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("getEmptyRichTextWithDefaultFont"), QString::fromUtf8(e.what()));
    return {};
  }
}

void LibraryWindowController::editAction(const char* textMethod,
                                         const std::function<void()>& outlineAction) {
  QWidget* focus = QApplication::focusWidget();
  if (focus && focus != outlineView_ &&
      (qobject_cast<QLineEdit*>(focus) || qobject_cast<QTextEdit*>(focus))) {
    QMetaObject::invokeMethod(focus, textMethod);
    return;
  }
  outlineAction();
}
