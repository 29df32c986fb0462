#include "app/new_snippet_flow.h"

#include "app/frontmost_application.h"
#include "expansion/input_service.h"
#include "expansion/keyboard_hook.h"
#include "model/ql_settings.h"
#include "platform/keys.h"
#include "platform/log.h"
#include "ui/library_outline_model.h"
#include "ui/library_window_controller.h"
#include "ui/new_snippet_window_content.h"
#include "ui/snippet_view_controller.h"

#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QScreen>
#include <QTimer>

#include <exception>
#include <memory>

namespace {

// Longest the copy of the selection may take to reach the clipboard.
constexpr int kCopyWaitMs = 500;
// The new-snippet window is gone by then, and the clipboard may go back.
constexpr int kRestoreAfterNewSnippetMs = 1500;
// How long the user may still hold the hot key's modifiers before the copy.
constexpr int kModifierReleaseMs = 500;

QFont formattedFontOf(const QLPreferences& preferences) {
  QFont font(QLPreferences::fontName(preferences.formattedSnippetFont));
  const double size = QLPreferences::fontSize(preferences.formattedSnippetFont);
  font.setPointSizeF(size > 0 ? size : 12.0);
  return font;
}

}  // namespace

NewSnippetFlow::NewSnippetFlow(const ql::Platform& platform, ql::SystemServices& services,
                               ql::ExpansionExecutor& executor, NewSnippetFlowDelegate& delegate)
    : platform_(platform), services_(services), executor_(executor), delegate_(delegate) {}

NewSnippetFlow::~NewSnippetFlow() = default;

void NewSnippetFlow::newSnippet() {
  ql::rememberFrontmostApplication(executor_, services_, *platform_.workspace);
  openWindow(QStringLiteral("new"));
}

void NewSnippetFlow::newSnippetFromClipboard() {
  ql::rememberFrontmostApplication(executor_, services_, *platform_.workspace);
  openWindow(QStringLiteral("clipboard"));
}

void NewSnippetFlow::newSnippetFromSelection() {
  saveClipboard();
  copySelection(QStringLiteral("processNewSnippetFromSelection"),
                [this] { openWindow(QStringLiteral("selection")); });
}

void NewSnippetFlow::newSnippetForApplication() {
  saveClipboard();
  copySelection(QStringLiteral("processNewSnippetFromApplication"), [this] {
    findOrCreateApplicationGroup();
    openWindow(QStringLiteral("application"));
  });
}

// The copy comes first: the group step may show the library window, which
// would take the focus (and the copy keys) from the application.
void NewSnippetFlow::copySelection(const QString& operation, std::function<void()> then) {
  if (copyPending_) return;
  const ql::ApplicationInfo front = platform_.workspace->frontmostApplication();
  if (!services_.isAppForeGround() && front.isValid())
    source_ = front;
  else if (executor_.lastActiveApp)
    source_ = executor_.lastActiveApp;
  else
    source_.reset();
  // Every way here saved the clipboard already (then this keeps that save).
  saveClipboard();
  ql::Pasteboard& pasteboard = *platform_.pasteboard;
  // A copy of the application's own may be there already.
  if (pasteboard.changeCount() != clipboardCountAtSave_) {
    noteCopied();
    then();
    return;
  }
  // Pending from here: the wait below runs the event loop, where another
  // hot key may come.
  copyPending_ = true;
  KeyboardHook* hook = delegate_.eventHandler();
  const bool hookWasOn = hook && hook->isHook();
  if (hook) hook->setIsHook(false);
  try {
    // Ctrl+C sent while the user still holds the hot key's Alt or Shift
    // would be another shortcut, or go to the grab of the hot key.
    services_.input().waitForModifiersReleased(kModifierReleaseMs);
    // Twice: one press can be lost to an application still busy with the hot key.
    services_.sendKeyboardEvent(ql::KeyRequest{ql::keys::C, ql::mods::Command, true});
    services_.sendKeyboardEvent(ql::KeyRequest{ql::keys::C, ql::mods::Command, true});
  } catch (const std::exception& e) {
    ql::logError(operation, QString::fromUtf8(e.what()));
  }
  // The wait ran the event loop: the hook may have gone meanwhile.
  if ((hook = delegate_.eventHandler())) hook->setIsHook(hookWasOn);

  // Go on as soon as the copy has reached the clipboard, or after the wait
  // with nothing copied (nothing was selected).
  auto done = std::make_shared<bool>(false);
  auto finish = [this, done, then] {
    if (*done) return;
    *done = true;
    QObject::disconnect(copyWatch_);
    copyPending_ = false;
    noteCopied();
    then();
  };
  copyWatch_ = connect(&pasteboard, &ql::Pasteboard::changed, this, finish);
  if (pasteboard.changeCount() != clipboardCountAtSave_) {
    finish();
    return;
  }
  QTimer::singleShot(kCopyWaitMs, this, finish);
}

// The group named after the application in front: selected when there is
// one (its rule stays as it is), else made, limited to that application.
void NewSnippetFlow::findOrCreateApplicationGroup() {
  QLSettings* settings = delegate_.settings();
  LibraryWindowController* library = delegate_.libraryWindow();
  if (!settings || !library) return;
  const QString name = source_ ? source_->name : QString();
  if (name.isEmpty()) {
    ql::logError(QStringLiteral("processNewSnippetFromApplication"),
                 QStringLiteral("the application in front has no name"));
    return;
  }
  try {
    if (const GroupPtr existing = settings->getGroupByName(name)) {
      library->selectGroup(existing.get());
      return;
    }
    const GroupPtr added = library->addGroup(name);
    if (!added) return;
    // Appended with nothing selected, the outline names a group itself.
    added->name = name;
    added->exceptionType = QLGroup::OnlyApps;
    added->exceptions.append(name);
    // Saved now: a group that expands everywhere though it was made for one
    // application must not be left on disk.
    library->model()->save();
    library->model()->itemChanged(added.get(), nullptr);
    library->outlineViewSelectionDidChange();
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("processNewSnippetFromApplication"), QString::fromUtf8(e.what()));
  }
}

void NewSnippetFlow::openWindow(const QString& kind) {
  const bool fromSelection = kind == QLatin1String("selection") || kind == QLatin1String("application");
  const bool isNew = kind == QLatin1String("new");
  if (fromSelection) {
    executor_.lastActiveAppInfo.reset();
    executor_.lastActiveApp = source_;
  }
  QLSettings* settings = delegate_.settings();
  LibraryWindowController* library = delegate_.libraryWindow();
  if (!settings || !library) {
    // Nowhere to put a snippet: only the clipboard goes back.
    if (fromSelection) giveBackClipboard(false);
    return;
  }
  if (!panel_) {
    panel_ = std::make_unique<NewSnippetWindowController>();
    panel_->delegate = this;
    panel_->btnFormat()->setCurrentIndex(settings->preferences.snippetFormatType == QLSnippet::Formatted ? 1 : 0);
    connect(panel_.get(), &NewSnippetWindowController::windowDeactivated, this,
            &NewSnippetFlow::windowDeactivated);
    // The user went to another application.
    connect(platform_.workspace, &ql::Workspace::applicationActivated, panel_.get(),
            [this](const ql::ApplicationInfo& application) {
              if (application.processId != platform_.workspace->ownProcessId()) windowDeactivated();
            });
  }
  NewSnippetWindowController& panel = *panel_;
  // Nothing reached the clipboard: the user's own content is there, and
  // it is not what they asked to keep.
  nothingCopied_ = fromSelection && platform_.pasteboard->changeCount() == clipboardCountAtSave_;
  panel.setSelectedGroup(library->getCurrentGroup());
  panel.setIsNew(isNew || nothingCopied_);
  panel.setIsRestoreClipboard(fromSelection);
  panel.setData(QVariant());
  panel.setGroups(settings->groups);
  const QString from = executor_.lastActiveApp && !executor_.lastActiveApp->name.isEmpty()
                           ? executor_.lastActiveApp->name
                           : tr("the application");
  if (nothingCopied_)
    panel.setNotice(tr("Nothing was selected in %1 (or it could not be copied); "
                       "the snippet starts empty.").arg(from));
  else if (fromSelection)
    panel.setNotice(tr("The snippet starts with the text selected in %1.").arg(from));
  else if (!isNew)
    panel.setNotice(tr("The snippet starts with the content of the clipboard."));
  else
    panel.setNotice(QString());

  QDialog* window = panel.window();
  window->adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
  }
  window->show();
  window->raise();
  window->activateWindow();
  const ql::ApplicationInfo own{QGuiApplication::applicationDisplayName(),
                                platform_.workspace->ownProcessId(), quint64(window->winId())};
  if (!platform_.workspace->activate(own)) platform_.workspace->activateProgram();
  panel.resetView();
}

void NewSnippetFlow::createNewSnippet(NewSnippetWindowController* sender) {
  if (!sender) return;
  QLSettings* settings = delegate_.settings();
  LibraryWindowController* library = delegate_.libraryWindow();
  const QComboBox* groups = sender->btnGroups();
  const int index = groups->currentIndex();
  const QString title = groups->itemData(index, Qt::UserRole + 1).toString();
  const QString uuid = groups->itemData(index, Qt::UserRole).toString();
  const int format = sender->btnFormat()->currentIndex() == 1 ? 1 : 0;
  GroupPtr target = settings && index >= 0 ? settings->groups.value(index) : nullptr;
  if (target && (target->name != title || target->uuid != uuid)) target.reset();
  if (target && !library->model()->indexOfGroup(target.get()).isValid()) target.reset();
  if (!target) {
    // The group was renamed or removed meanwhile: ask again rather than
    // drop the snippet the user asked for.
    sender->setGroups(settings ? settings->groups : QList<GroupPtr>());
    sender->setSelectedGroup(library ? library->getCurrentGroup() : nullptr);
    sender->resetView();
    sender->setNotice(tr("The group chosen was renamed or removed meanwhile. "
                         "Choose the group again."));
    return;
  }
  sender->hide();

  try {
    ql::NewSnippetContent content;
    content.snippetType = format;
    if (format == 1) content.formattedText = library->getEmptyRichTextWithDefaultFont();
    if (!sender->isNew())
      content = ql::snippetContentFromPasteboard(*platform_.pasteboard, format,
                                                 formattedFontOf(settings->preferences),
                                                 library->getEmptyRichTextWithDefaultFont());
    library->selectGroup(target.get());
    const qsizetype before = settings->snippets.size();
    library->actionNewSnippet();
    const SnippetPtr snippet = library->selectedSnippet();
    if (settings->snippets.size() == before + 1 && snippet && snippet->groupUuid == target->uuid) {
      snippet->snippetType = content.snippetType;
      if (content.snippetType == 1) {
        snippet->formattedText = content.formattedText;
      } else {
        // The new row was made in the preferred format; a plain one keeps no
        // formatted text.
        snippet->plainText = content.plainText;
        snippet->formattedText.clear();
      }
      snippet->content(true);
      SnippetViewController* editor = library->snippetView();
      editor->resetView();
      // Saves the library with the content and redraws the row.
      library->SnippetViewControllerDidFinish(editor);
      editor->abbreviationTextField()->setFocus(Qt::OtherFocusReason);
    } else {
      ql::logError(QStringLiteral("createNewSnippet:"), QStringLiteral("no snippet was added"));
    }
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("createNewSnippet:"), QString::fromUtf8(e.what()));
  }

  if (sender->isRestoreClipboard()) giveBackClipboard(true);
  if (QMainWindow* window = library->window()) {
    window->raise();
    window->activateWindow();
  }
  platform_.workspace->activateProgram();
  delegate_.newSnippetCreated();
}

void NewSnippetFlow::cancelNewSnippet(NewSnippetWindowController* sender) {
  if (!sender) return;
  if (sender->isRestoreClipboard()) giveBackClipboard(true);
  sender->hide();
  executor_.activteLastApp();
}

void NewSnippetFlow::windowDeactivated() {
  if (!panel_ || !panel_->isVisible()) return;
  panel_->hide();
  if (panel_->isRestoreClipboard()) giveBackClipboard(false);
}

// Quitting with the window open or a restore still due: the clipboard goes
// back now, or the copy (or nothing) would be what the user has left.
void NewSnippetFlow::willTerminate() {
  if (panel_ && panel_->isVisible()) panel_->hide();
  if (clipboardInUse_)
    giveBackClipboard(false);
  else
    restoreClipboard();
}

void NewSnippetFlow::windowDidFinish() {
  // A later save (the next opening) calls this restore off.
  const quint64 generation = ++clipboardRestoreGeneration_;
  QTimer::singleShot(kRestoreAfterNewSnippetMs, this, [this, generation] {
    if (generation == clipboardRestoreGeneration_) restoreClipboard();
  });
}

// later: cleared now and put back after the delay, as after Create and Cancel.
void NewSnippetFlow::giveBackClipboard(bool later) {
  clipboardInUse_ = false;
  if (!clipboardSaved_) return;
  ql::Pasteboard& pasteboard = *platform_.pasteboard;
  if (pasteboard.changeCount() == clipboardCountAtSave_) {
    // Nothing was copied: the user's content never left.
    clipboardSaved_ = false;
    savedClipboard_.clear();
    return;
  }
  noteCopied();
  if (!later) {
    restoreClipboard();
    return;
  }
  pasteboard.clear();
  noteCopied();
  clipboardClearedForRestore_ = true;
  windowDidFinish();
}

// Kept apart from the expansion's own save and restore, which may run in
// between: this one belongs to the copy made for the new-snippet window.
void NewSnippetFlow::saveClipboard() {
  ql::Pasteboard& pasteboard = *platform_.pasteboard;
  // A second hot key while the first copy is under way or its window open:
  // the clipboard holds that copy at most, the earlier save is the user's.
  if (clipboardSaved_ && clipboardInUse_) return;
  clipboardInUse_ = true;
  ++clipboardRestoreGeneration_;
  // A restore is still due and the clipboard holds the copy or our empty
  // content: the earlier save is the user's, keep it.
  if (clipboardSaved_ && clipboardCountAfterCopy_ != clipboardCountAtSave_ && isClipboardStillOurs()) {
    clipboardCountAtSave_ = pasteboard.changeCount();
    clipboardCountAfterCopy_ = clipboardCountAtSave_;
    clipboardClearedForRestore_ = false;
    return;
  }
  savedClipboard_.clear();
  for (const QString& type : pasteboard.types())
    if (std::optional<QByteArray> bytes = pasteboard.data(type))
      savedClipboard_.append(ql::PasteboardItem{type, std::move(*bytes)});
  clipboardCountAtSave_ = pasteboard.changeCount();
  clipboardCountAfterCopy_ = clipboardCountAtSave_;
  clipboardClearedForRestore_ = false;
  clipboardSaved_ = true;
}

void NewSnippetFlow::noteCopied() { clipboardCountAfterCopy_ = platform_.pasteboard->changeCount(); }

// Unchanged since the copy, or still the empty content the program left
// (the change count of one's own clear may come late on X11).
bool NewSnippetFlow::isClipboardStillOurs() const {
  const ql::Pasteboard& pasteboard = *platform_.pasteboard;
  return pasteboard.changeCount() == clipboardCountAfterCopy_ ||
         (clipboardClearedForRestore_ && pasteboard.types().isEmpty());
}

void NewSnippetFlow::restoreClipboard() {
  clipboardInUse_ = false;
  if (!clipboardSaved_) return;
  clipboardSaved_ = false;
  ql::Pasteboard& pasteboard = *platform_.pasteboard;
  // Nothing was copied, or the user copied something since: leave it be.
  const bool copied = clipboardCountAfterCopy_ != clipboardCountAtSave_;
  const bool ours = isClipboardStillOurs();
  clipboardClearedForRestore_ = false;
  if (!copied || !ours) {
    savedClipboard_.clear();
    return;
  }
  if (savedClipboard_.isEmpty())
    pasteboard.clear();
  else if (!pasteboard.write(savedClipboard_))
    ql::logError(QStringLiteral("restorePasteBoard"), QStringLiteral("the clipboard could not be taken"));
  savedClipboard_.clear();
}
