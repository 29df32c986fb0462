#pragma once

#include "expansion/expansion_executor.h"
#include "expansion/system_services.h"
#include "platform/platform.h"
#include "ui/new_snippet_window_controller.h"

#include <QList>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class KeyboardHook;
class LibraryWindowController;
class QLSettings;

// What the new-snippet flow asks of the main controller.
class NewSnippetFlowDelegate {
 public:
  virtual ~NewSnippetFlowDelegate() = default;
  // The library and its window; null when there is none.
  virtual QLSettings* settings() = 0;
  virtual LibraryWindowController* libraryWindow() const = 0;
  virtual KeyboardHook* eventHandler() const = 0;
  // A snippet was made and the library window is in front.
  virtual void newSnippetCreated() = 0;
};

// The new-snippet window and its four openings: empty, from the clipboard,
// from the selection and for the application in front. The selection is
// copied by one routine for the hot keys and the tray menu, and the user's
// clipboard is given back once the window is done with the copy.
class NewSnippetFlow final : public QObject, public NewSnippetWindowControllerDelegate {
  Q_OBJECT

 public:
  NewSnippetFlow(const ql::Platform& platform, ql::SystemServices& services,
                 ql::ExpansionExecutor& executor, NewSnippetFlowDelegate& delegate);
  ~NewSnippetFlow() override;

  void newSnippet();
  void newSnippetFromClipboard();
  void newSnippetFromSelection();
  void newSnippetForApplication();
  // The window lost the focus: it goes, and so does the copy made for it.
  void windowDeactivated();
  // Quitting: the clipboard goes back now.
  void willTerminate();
  // The window closed: the clipboard saved before the copy goes back later.
  void windowDidFinish();

  NewSnippetWindowController* panel() const { return panel_.get(); }

  // The window's delegate.
  void createNewSnippet(NewSnippetWindowController* sender) override;
  void cancelNewSnippet(NewSnippetWindowController* sender) override;

 private:
  // The application in front copies its selection; then runs once the copy
  // is on the clipboard, or after a wait with nothing copied.
  void copySelection(const QString& operation, std::function<void()> then);
  void findOrCreateApplicationGroup();
  // kind: "new", "clipboard", "selection" or "application".
  void openWindow(const QString& kind);
  void saveClipboard();
  void noteCopied();
  void restoreClipboard();
  bool isClipboardStillOurs() const;
  void giveBackClipboard(bool later);

  const ql::Platform platform_;
  ql::SystemServices& services_;
  ql::ExpansionExecutor& executor_;
  NewSnippetFlowDelegate& delegate_;
  std::unique_ptr<NewSnippetWindowController> panel_;
  // The user's clipboard around the copy.
  QList<ql::PasteboardItem> savedClipboard_;
  quint64 clipboardCountAtSave_ = 0;
  quint64 clipboardCountAfterCopy_ = 0;
  bool clipboardSaved_ = false;
  bool clipboardClearedForRestore_ = false;
  bool clipboardInUse_ = false;  // saved, and the window it was saved for not done
  quint64 clipboardRestoreGeneration_ = 0;
  // The application the selection is copied from, and the copy under way.
  std::optional<ql::ApplicationInfo> source_;
  bool copyPending_ = false;
  bool nothingCopied_ = false;
  QMetaObject::Connection copyWatch_;
};
