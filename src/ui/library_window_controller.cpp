#include "ui/library_window_controller.h"

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
const QString kDuplicateTip = QStringLiteral("Error : The abbreviation \"%1\" is already in use!");

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
    : QObject(parent), settings_(settings), delegate_(delegate) {
  window_ = std::make_unique<QMainWindow>();
  window_->setObjectName(QStringLiteral("LibraryWindow"));
  window_->setWindowTitle(QStringLiteral("Quillet"));
  window_->installEventFilter(this);
  QWidget* w = window_.get();
  confirm = [w](const QString& m, const QString& d, const QString& a, const QString& b) {
    return criticalQuestion(w, m, d, a, b);
  };
  showAlert = [w](const QString& m, const QString& d) { criticalAlert(w, m, d); };
  chooseSaveFile = [w](const QString& title, const QString& suggested) {
    QFileDialog dialog(w, title, suggested, QStringLiteral("Quillet Files (*.qlxdoc)"));
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
    showAlert(QStringLiteral("Unable to save the library!"),
              QStringLiteral("Quillet could not write \"%1\". Your changes are kept while Quillet "
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
  bar->addWidget(caption(QStringLiteral("Groups:")));
  bar->addWidget(labelGroupCount_);
  bar->addWidget(caption(QStringLiteral("Snippets:")));
  bar->addWidget(labelSnippetsCount_);
  bar->addWidget(errorBox_);
  bar->addPermanentWidget(labelAutoBackup_);
  bar->addPermanentWidget(labelNextBackup_);

  window_->resize(900, 600);
}

void LibraryWindowController::buildMenus() {
  QMenuBar* bar = window_->menuBar();
  auto add = [this](QMenu* menu, const QString& title, const QKeySequence& key, auto slot) {
    QAction* a = menu->addAction(title);
    if (!key.isEmpty()) a->setShortcut(key);
    connect(a, &QAction::triggered, this, slot);
    return a;
  };

  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  add(file, QStringLiteral("New Group"), QKeySequence(QStringLiteral("Ctrl+Shift+N")),
      &LibraryWindowController::actionNewGroup);
  add(file, QStringLiteral("New Snippet"), QKeySequence::New,
      &LibraryWindowController::actionNewSnippet);
  file->addSeparator();
  add(file, QStringLiteral("Import…"), QKeySequence(QStringLiteral("Ctrl+Shift+I")), [this] {
    if (delegate_) delegate_->actionImport();
  });
  saveAsGroup_ = add(file, QStringLiteral("Save a Copy of Group…"),
                     QKeySequence(QStringLiteral("Ctrl+Shift+S")),
                     &LibraryWindowController::actionSaveAsGroup);
  file->addSeparator();
  add(file, QStringLiteral("Page Setup…"), QKeySequence(QStringLiteral("Ctrl+Shift+P")),
      &LibraryWindowController::actionPageSetup);
  printAsGroup_ = add(file, QStringLiteral("Print Group…"), QKeySequence::Print,
                      &LibraryWindowController::actionPrintAsGroup);
  printAllGroups_ = add(file, QStringLiteral("Print All Groups…"),
                        QKeySequence(QStringLiteral("Ctrl+Alt+P")),
                        &LibraryWindowController::actionPrintAllGroup);
  saveAsGroup_->setEnabled(false);
  printAsGroup_->setEnabled(false);
  printAllGroups_->setEnabled(false);
  file->addSeparator();
  add(file, QStringLiteral("Back Up Now"), QKeySequence(), [this] {
    if (delegate_) delegate_->actionBackupNow();
  });
  add(file, QStringLiteral("Restore…"), QKeySequence(), [this] {
    if (delegate_) delegate_->actionRestore();
  });
  file->addSeparator();
  add(file, QStringLiteral("Close Window"), QKeySequence::Close, [this] { window_->close(); });
  add(file, QStringLiteral("Quit Quillet"), QKeySequence::Quit, [] { QCoreApplication::quit(); });

  QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
  QAction* undo = add(edit, QStringLiteral("Undo"), QKeySequence::Undo, [this] {
    editAction("undo", [this] {
      finishEditing();
      undoStack_->undo();
    });
  });
  QAction* redo =
      add(edit, QStringLiteral("Redo"), QKeySequence(QStringLiteral("Ctrl+Shift+Z")), [this] {
        editAction("redo", [this] {
          finishEditing();
          undoStack_->redo();
        });
      });
  connect(undoStack_, &QUndoStack::undoTextChanged, undo, [undo](const QString& t) {
    undo->setText(t.isEmpty() ? QStringLiteral("Undo") : QStringLiteral("Undo ") + t);
  });
  connect(undoStack_, &QUndoStack::redoTextChanged, redo, [redo](const QString& t) {
    redo->setText(t.isEmpty() ? QStringLiteral("Redo") : QStringLiteral("Redo ") + t);
  });
  edit->addSeparator();
  add(edit, QStringLiteral("Cut"), QKeySequence::Cut,
      [this] { editAction("cut", [this] { actionCutSnippet(); }); });
  add(edit, QStringLiteral("Copy"), QKeySequence::Copy,
      [this] { editAction("copy", [this] { actionCopySnippet(); }); });
  add(edit, QStringLiteral("Paste"), QKeySequence::Paste,
      [this] { editAction("paste", [this] { actionPasteSnippet(); }); });
  add(edit, QStringLiteral("Duplicate"), QKeySequence(QStringLiteral("Ctrl+D")),
      &LibraryWindowController::actionDuplicate);
  add(edit, QStringLiteral("Delete…"), QKeySequence(), &LibraryWindowController::actionTrash);
  edit->addSeparator();
  add(edit, QStringLiteral("Find"), QKeySequence::Find, [this] {
    searchTextField_->setFocus(Qt::ShortcutFocusReason);
    searchTextField_->selectAll();
  });

  QMenu* view = bar->addMenu(QStringLiteral("&View"));
  sortMenu_ = view->addMenu(QStringLiteral("Sort By"));
  const QStringList keys = {QStringLiteral("Content"),      QStringLiteral("Abbreviation"),
                            QStringLiteral("Date Created"), QStringLiteral("Date Modified"),
                            QStringLiteral("Label"),        QStringLiteral("Date Last Used"),
                            QStringLiteral("Use Count")};
  for (int i = 0; i < keys.size(); ++i)
    add(sortMenu_, keys[i], QKeySequence(), [this, tag = i + 1] { actionSort(tag); });
  view->addSeparator();
  add(view, QStringLiteral("Expand All Groups"), QKeySequence(),
      [this] { outlineView_->expandAll(); });
  add(view, QStringLiteral("Collapse All Groups"), QKeySequence(),
      [this] { outlineView_->collapseAll(); });

  QMenu* win = bar->addMenu(QStringLiteral("&Window"));
  add(win, QStringLiteral("Minimize"), QKeySequence(QStringLiteral("Ctrl+M")),
      [this] { window_->showMinimized(); });
  win->addSeparator();
  add(win, QStringLiteral("Preferences…"), QKeySequence(QStringLiteral("Ctrl+,")), [this] {
    if (delegate_) delegate_->actionPreferences();
  });
  add(win, QStringLiteral("Statistics"), QKeySequence(), [this] {
    if (delegate_) delegate_->actionStatistics();
  });
  win->addSeparator();
  disableItem_ = add(win, QStringLiteral("Disable Quillet"), QKeySequence(), [this] {
    if (delegate_) delegate_->actionDisableQuillet();
  });
  connect(win, &QMenu::aboutToShow, this, [this] {
    const bool on = delegate_ ? delegate_->isExpansionEnabled() : true;
    disableItem_->setText(on ? QStringLiteral("Disable Quillet")
                             : QStringLiteral("Enable Quillet"));
  });

  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  add(help, QStringLiteral("Quillet Help"), QKeySequence::HelpContents, [this] {
    if (delegate_) delegate_->helpAction();
  });

  // The outline's context menu: cut and copy act on a snippet row, paste
  // needs something copied.
  contextMenu_ = new QMenu(outlineView_);
  QAction* cut = contextMenu_->addAction(QStringLiteral("Cut"), this,
                                         &LibraryWindowController::actionCutSnippet);
  QAction* copy = contextMenu_->addAction(QStringLiteral("Copy"), this,
                                          &LibraryWindowController::actionCopySnippet);
  QAction* paste = contextMenu_->addAction(QStringLiteral("Paste"), this,
                                           &LibraryWindowController::actionPasteSnippet);
  contextMenu_->addAction(QStringLiteral("Duplicate"), this,
                          &LibraryWindowController::actionDuplicate);
  contextMenu_->addSeparator();
  contextMenu_->addAction(QStringLiteral("Delete…"), this, &LibraryWindowController::actionTrash);
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
  QToolBar* bar = window_->addToolBar(QStringLiteral("Toolbar"));
  bar->setObjectName(QStringLiteral("toolbar"));
  bar->setMovable(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  bar->addAction(themeIcon(QStringLiteral("folder-new"), QStyle::SP_FileDialogNewFolder),
                 QStringLiteral("New Group"), this, &LibraryWindowController::actionNewGroup);
  bar->addAction(themeIcon(QStringLiteral("document-new"), QStyle::SP_FileIcon),
                 QStringLiteral("New Snippet"), this, &LibraryWindowController::actionNewSnippet);
  deleteItem_ =
      bar->addAction(themeIcon(QStringLiteral("edit-delete"), QStyle::SP_TrashIcon),
                     QStringLiteral("Delete"), this, &LibraryWindowController::actionTrash);
  deleteItem_->setEnabled(false);
  bar->addSeparator();
  auto* sort = new QToolButton;
  sort->setText(QStringLiteral("Sort"));
  sort->setIcon(themeIcon(QStringLiteral("view-sort-ascending"), QStyle::SP_ArrowDown));
  sort->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  sort->setMenu(sortMenu_);
  sort->setPopupMode(QToolButton::InstantPopup);
  bar->addWidget(sort);
  auto* spacer = new QWidget;
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  bar->addWidget(spacer);
  searchTextField_ = new QLineEdit;
  searchTextField_->setObjectName(QStringLiteral("search"));
  searchTextField_->setPlaceholderText(QStringLiteral("Search"));
  searchTextField_->setClearButtonEnabled(true);
  searchTextField_->setMaximumWidth(240);
  bar->addWidget(searchTextField_);
  connect(searchTextField_, &QLineEdit::textChanged, this,
          &LibraryWindowController::actionSearchChanged);
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
  showAlert(QStringLiteral("The settings file could not be read."),
            QStringLiteral("It was moved aside to \"%1\" and Quillet started with an empty "
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
      labelSelection_->setText(QStringLiteral("No Snippets"));
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
  deleteItem_->setEnabled(validateToolbarItem(deleteItem_));
  printAllGroups_->setEnabled(model_->groupCount() > 0);
}

void LibraryWindowController::updateErrorBox(const SnippetPtr& snippet) {
  errorBox_->hide();
  errorBox_->setToolTip(QString());
  if (snippet && model_->isDuplicateSnippetAbbreviation(snippet->abbreviation)) {
    errorBox_->setToolTip(kDuplicateTip.arg(snippet->abbreviation));
    errorBox_->show();
  }
}

void LibraryWindowController::setGroupMenuItems(const GroupPtr& group) {
  if (!group) {
    saveAsGroup_->setText(QStringLiteral("Save a Copy of Group…"));
    printAsGroup_->setText(QStringLiteral("Print Group…"));
    saveAsGroup_->setData(QString());
    printAsGroup_->setData(QString());
  } else {
    QString name = group->name.left(40);
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    saveAsGroup_->setText(QStringLiteral("Save a Copy of Group \"%1\"…").arg(name));
    printAsGroup_->setText(QStringLiteral("Print Group \"%1\"…").arg(name));
    saveAsGroup_->setData(group->uuid);
    printAsGroup_->setData(group->uuid);
  }
  saveAsGroup_->setEnabled(bool(group));
  printAsGroup_->setEnabled(bool(group));
}

void LibraryWindowController::outlineViewSelectionDidChange() {
  refreshCounters();
  errorBox_->hide();
  errorBox_->setToolTip(QString());
  const QModelIndexList rows = outlineView_->selectionModel()->selectedRows();
  if (rows.isEmpty()) {
    snippetView_->setSnippet(nullptr);
    groupView_->setGroup(nullptr);
    labelSelection_->setText(model_->groupCount() > 0 ? QStringLiteral("Empty Selection")
                                                      : QStringLiteral("No Snippets"));
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
