// The outline commands of the library window: each runs on the undo stack
// and saves the library once.
#include "ui/library_window_controller.h"

#include "ui_library_window_controller.h"

#include "content/text/flat_rtfd.h"
#include "platform/log.h"
#include "ui/custom_outline_view.h"
#include "ui/group_printer.h"
#include "ui/group_view_controller.h"
#include "ui/library_outline_model.h"
#include "ui/outline_command.h"
#include "ui/snippet_view_controller.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QPageLayout>
#include <QPrinter>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QUndoStack>

#include <exception>

void LibraryWindowController::runCommand(const QString& text, const std::function<void()>& action,
                                         const GroupPtr& undoSelectsGroup,
                                         const SnippetPtr& undoSelectsSnippet) {
  if (!settings_) return;
  finishEditing();
  // Expansions made by the command are saved with it, once.
  const bool wasResetting = isResettingOutlineView;
  isResettingOutlineView = true;
  undoStack_->push(new OutlineCommand(
      model_, text, action, [this, undoSelectsGroup, undoSelectsSnippet](bool undone) {
        afterRestore(undone ? undoSelectsGroup : nullptr, undone ? undoSelectsSnippet : nullptr);
      }));
  isResettingOutlineView = wasResetting;
  refreshCounters();
  if (delegate_) delegate_->libraryChanged();
}

void LibraryWindowController::afterRestore(const GroupPtr& group, const SnippetPtr& restored) {
  // The records are the same objects as before; show them as they were.
  const SnippetPtr snippet = snippetView_->snippet();
  isResettingOutlineView = true;
  for (const GroupPtr& g : settings_->groups) {
    const QModelIndex i = model_->indexOfGroup(g.get());
    if (i.isValid()) outlineView_->setExpanded(i, g->isExpanded);
  }
  isResettingOutlineView = false;
  bool selected = false;
  // What an undone delete brought back is what the user looks for.
  if (group && restored) {
    selectSnippet(group.get(), restored.get());
    selected = selectedSnippet() == restored;
  } else if (group) {
    selectGroup(group.get());
    selected = model_->isGroup(outlineView_->currentIndex()) && selectedGroup() == group;
  }
  if (!selected && snippet) {
    for (const GroupPtr& g : settings_->groups) {
      if (g->isExpanded && model_->indexOfSnippet(g.get(), snippet.get()).isValid()) {
        selectSnippet(g.get(), snippet.get());
        selected = true;
        break;
      }
    }
  }
  if (!selected) selectVisualRow(0);
  outlineViewSelectionDidChange();
  if (delegate_) delegate_->libraryChanged();
}

void LibraryWindowController::actionNewGroup() { addGroup(QStringLiteral("(Untitled)")); }

GroupPtr LibraryWindowController::addGroup(const QString& name) {
  if (!settings_) return nullptr;
  GroupPtr added;
  const GroupPtr after = selectedGroup();
  const bool anySelected = outlineView_->selectionModel()->hasSelection();
  runCommand(tr("New Group"), [&] {
    added = model_->addGroup(name, after.get(), !anySelected);
    if (added) selectGroup(added.get());
  });
  if (!added) return nullptr;
  outlineView_->setFocus(Qt::OtherFocusReason);
  if (!window_->isVisible()) showWindow();
  // A new group is named first.
  groupView_->setFocus();
  return added;
}

void LibraryWindowController::showAllForNewRow() {
  if (searchTextField_->text().isEmpty()) return;
  // A new row the filter hides would take the typing nowhere: the search
  // goes, and the group chosen stays chosen.
  const GroupPtr group = selectedGroup();
  searchTextField_->clear();
  if (group) selectGroup(group.get());
}

void LibraryWindowController::actionNewSnippet() {
  if (!settings_) return;
  showAllForNewRow();
  SnippetPtr added;
  GroupPtr group;
  runCommand(tr("New Snippet"), [&] {
    group = getCurrentGroup();
    if (group) added = addSnippetForGroup(group);
    if (added) selectSnippet(group.get(), added.get());
  });
  if (!added) return;
  if (!window_->isVisible()) showWindow();
  snippetView_->setFocus();
}

SnippetPtr LibraryWindowController::addSnippetForGroup(const GroupPtr& group) {
  if (!settings_ || !group) return nullptr;
  try {
    const QLPreferences& p = settings_->preferences;
    const int type =
        p.snippetFormatType == QLSnippet::Formatted ? QLSnippet::Formatted : QLSnippet::Plain;
    const SnippetPtr s = model_->addSnippet(
        group, type, p.abbreviationCaseType,
        type == QLSnippet::Formatted ? getEmptyRichTextWithDefaultFont() : QByteArray());
    group->isExpanded = true;
    outlineView_->expand(model_->indexOfGroup(group.get()));
    return s;
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("addSnippetForGroup:"), QString::fromUtf8(e.what()));
    return nullptr;
  }
}

void LibraryWindowController::actionTrash() {
  if (!outlineView_->selectionModel()->hasSelection()) return;
  const int answer =
      confirm(tr("Are you sure you want to remove all selected snippets?"),
              tr("Edit > Undo (Ctrl+Z) brings them back."), tr("Delete"),
              tr("Cancel"));
  alertDidEnd(answer);
}

void LibraryWindowController::alertDidEnd(int returnCode) {
  if (returnCode != 1) return;
  const QModelIndexList rows = outlineView_->selectionModel()->selectedRows();
  if (rows.isEmpty()) return;
  const int row = selectedVisualRow();
  const QModelIndex i = rows.last();
  const GroupPtr group = model_->groupAt(i);
  const SnippetPtr snippet = model_->snippetAt(i);
  const bool isGroup = model_->isGroup(i);
  outlineView_->selectionModel()->clear();
  snippetView_->setSnippet(nullptr);
  try {
    runCommand(
        isGroup ? tr("Delete Group") : tr("Delete Snippet"),
        [&] {
          if (isGroup)
            model_->removeGroup(group);
          else
            model_->removeSnippet(group, snippet);
          reselectAfterRemoval(row);
        },
        group, isGroup ? nullptr : snippet);
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("alertDidEnd:returnCode:contextInfo:"),
                 QString::fromUtf8(e.what()));
  }
}

void LibraryWindowController::actionCopySnippet() {
  if (const SnippetPtr s = selectedSnippet()) outlineView_->snippetCopy = s;
}

void LibraryWindowController::actionCutSnippet() {
  const SnippetPtr s = selectedSnippet();
  if (!s) return;
  const GroupPtr group = selectedGroup();
  const int row = selectedVisualRow();
  outlineView_->snippetCopy = s;
  outlineView_->selectionModel()->clear();
  snippetView_->setSnippet(nullptr);
  runCommand(
      tr("Cut Snippet"),
      [&] {
        model_->removeSnippet(group, s);
        reselectAfterRemoval(row);
      },
      group, s);
}

void LibraryWindowController::actionPasteSnippet() {
  if (!outlineView_->snippetCopy || !settings_) return;
  const SnippetPtr source = outlineView_->snippetCopy;
  showAllForNewRow();
  SnippetPtr pasted;
  GroupPtr group;
  try {
    runCommand(tr("Paste Snippet"), [&] {
      group = getCurrentGroup();
      if (group) pasted = model_->pasteSnippet(*source, group);
      if (pasted) selectSnippet(group.get(), pasted.get());
    });
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("actionPasteSnippet"), QString::fromUtf8(e.what()));
  }
}

void LibraryWindowController::actionDuplicate() {
  const SnippetPtr s = selectedSnippet();
  const GroupPtr group = selectedGroup();
  if (!s || !group) return;
  SnippetPtr copy;
  runCommand(tr("Duplicate Snippet"), [&] {
    copy = model_->duplicateSnippet(group, s);
    if (copy) selectSnippet(group.get(), copy.get());
  });
}

bool LibraryWindowController::dropSnippets(const QStringList& uuids, const GroupPtr& source,
                                           const GroupPtr& target, bool copy) {
  QList<SnippetPtr> pasted;
  runCommand(copy ? tr("Copy Snippet") : tr("Move Snippet"), [&] {
    pasted = model_->dropSnippets(uuids, source, target, copy);
    if (!pasted.isEmpty()) selectSnippet(target.get(), pasted.last().get());
  });
  return !pasted.isEmpty();
}

void LibraryWindowController::actionSort(int tag) {
  if (!settings_) return;
  const SnippetPtr s = selectedSnippet();
  const GroupPtr group = selectedGroup();
  const bool ascending = sortAscending;
  sortAscending = !sortAscending;
  runCommand(tr("Sort"), [&] { model_->sortSnippets(tag, ascending); });
  if (s && group) outlineView_->scrollTo(model_->indexOfSnippet(group.get(), s.get()));
}

void LibraryWindowController::actionSearchChanged() {
  if (!settings_) return;
  const QString text = searchTextField_->text();
  if (text == model_->searchSting()) return;
  finishEditing();
  outlineView_->selectionModel()->clear();
  model_->setSearchSting(text);
  // Searching shows every group open, clearing it closes them all; the
  // state is saved when it changed.
  const bool open = !text.isEmpty();
  bool changed = false;
  for (const GroupPtr& g : settings_->groups) {
    changed = changed || g->isExpanded != open;
    g->isExpanded = open;
  }
  isResettingOutlineView = true;
  if (open)
    outlineView_->expandAll();
  else
    outlineView_->collapseAll();
  isResettingOutlineView = false;
  if (changed) model_->save();
  if (model_->rowCount() > 0)
    selectVisualRow(0);
  else
    outlineViewSelectionDidChange();
}

void LibraryWindowController::actionSaveAsGroup() {
  const QString uuid = ui_->actionSaveAsGroup->data().toString();
  if (uuid.isEmpty() || !settings_) return;
  const GroupPtr group = settings_->getGroupByUUID(uuid);
  if (!group) {
    showAlert(tr("Unable to find group!"), ui_->actionSaveAsGroup->text());
    return;
  }
  finishEditing();
  QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (documents.isEmpty()) documents = QDir::homePath() + QStringLiteral("/Documents");
  QString name = group->name;
  name.replace(QLatin1Char('/'), QLatin1Char('-'));
  QString path = chooseSaveFile(
      ui_->actionSaveAsGroup->text(), documents + QLatin1Char('/') + name + QStringLiteral(".qlxdoc"));
  if (path.isEmpty()) return;
  // Only the program's own documents: "Work.txt" becomes "Work.txt.qlxdoc",
  // which the dialog has not asked about replacing.
  if (QFileInfo(path).suffix().compare(QStringLiteral("qlxdoc"), Qt::CaseInsensitive) != 0) {
    path += QStringLiteral(".qlxdoc");
    if (QFileInfo::exists(path) &&
        confirm(QStringLiteral("\"%1\" already exists. Do you want to replace it?")
                    .arg(QFileInfo(path).fileName()),
                QString(), tr("Replace"), tr("Cancel")) != 1)
      return;
  }
  if (!settings_->saveGroup(path, group))
    showAlert(tr("Unable to save group!"), QString());
}

void LibraryWindowController::actionPrintAsGroup() {
  const QString uuid = ui_->actionPrintAsGroup->data().toString();
  if (uuid.isEmpty() || !settings_) return;
  const GroupPtr group = settings_->getGroupByUUID(uuid);
  if (!group) {
    showAlert(tr("Unable to find group!"), ui_->actionPrintAsGroup->text());
    return;
  }
  finishEditing();
  printDocument(group->name, groupPrintHtml(*group, groupMembers(*settings_, *group)));
}

void LibraryWindowController::actionPrintAllGroup() {
  if (!settings_ || settings_->groups.isEmpty()) return;
  finishEditing();
  printDocument(tr("Quillet Snippets"), libraryPrintHtml(*settings_));
}

namespace {
const QString kPageSizeKey = QStringLiteral("PrintPageSize");
const QString kOrientationKey = QStringLiteral("PrintOrientation");
const QString kMarginsKey = QStringLiteral("PrintMargins");
}  // namespace

QPrinter* LibraryWindowController::printer() {
  if (printer_) return printer_.get();
  printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  const QSettings defaults;
  if (defaults.contains(kPageSizeKey)) {
    const QList<QVariant> margins = defaults.value(kMarginsKey).toList();
    const QMarginsF mm = margins.size() == 4 ? QMarginsF(margins[0].toDouble(), margins[1].toDouble(),
                                                         margins[2].toDouble(), margins[3].toDouble())
                                             : QMarginsF(15, 15, 15, 15);
    const QPageSize size(QPageSize::PageSizeId(defaults.value(kPageSizeKey).toInt()));
    const auto orientation = defaults.value(kOrientationKey).toInt() == QPageLayout::Landscape
                                 ? QPageLayout::Landscape
                                 : QPageLayout::Portrait;
    if (size.isValid())
      printer_->setPageLayout(QPageLayout(size, orientation, mm, QPageLayout::Millimeter));
  } else {
    // The printers' own minimum margins crowd the text against the edge.
    printer_->setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
  }
  return printer_.get();
}

void LibraryWindowController::actionPageSetup() {
  QPrinter* p = printer();
  if (!choosePageSetup(p)) return;
  const QPageLayout layout = p->pageLayout();
  const QMarginsF mm = layout.margins(QPageLayout::Millimeter);
  QSettings defaults;
  defaults.setValue(kPageSizeKey, int(layout.pageSize().id()));
  defaults.setValue(kOrientationKey, int(layout.orientation()));
  defaults.setValue(kMarginsKey, QVariantList{mm.left(), mm.top(), mm.right(), mm.bottom()});
}

void LibraryWindowController::printDocument(const QString& title, const QString& html) {
  QPrinter* p = printer();
  p->setDocName(title);
  // Printing to a file again: the file is named after this document, in the
  // folder chosen last, rather than over the last one printed.
  if (!p->outputFileName().isEmpty()) {
    QString name = title;
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    p->setOutputFileName(QFileInfo(p->outputFileName()).dir().filePath(name + QStringLiteral(".pdf")));
  }
  if (!choosePrinter(p)) return;
  if (!printHtml(html, p))
    showAlert(tr("Unable to print!"),
              p->outputFormat() == QPrinter::PdfFormat
                  ? tr("\"%1\" could not be written.")
                        .arg(QDir::toNativeSeparators(p->outputFileName()))
                  : tr("The printer \"%1\" did not take the document.")
                        .arg(p->printerName()));
}
