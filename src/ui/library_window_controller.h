#pragma once

#include "model/ql_settings.h"
#include "ui/group_view_controller_delegate.h"
#include "ui/library_window_controller_delegate.h"
#include "ui/snippet_view_controller_delegate.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class CustomOutlineView;
class GroupViewController;
class LibraryOutlineModel;
class OutlineRowDelegate;
class QAction;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPrinter;
class QStackedWidget;
class QUndoStack;
class SnippetViewController;

namespace Ui {
class LibraryWindow;
}  // namespace Ui

// The library window: the outline of groups and snippets on the left, the
// editor of the selected row on the right, counters, search, toolbar and
// menus. Every command that changes the library is undoable and saves the
// settings file once.
class LibraryWindowController final : public QObject,
                                      public SnippetViewControllerDelegate,
                                      public GroupViewControllerDelegate {
  Q_OBJECT

 public:
  // Alerts and questions; tests replace them. confirm answers 1 for the
  // default button.
  using Confirm = std::function<int(const QString& message, const QString& details,
                                    const QString& defaultButton, const QString& otherButton)>;
  using Alert = std::function<void(const QString& message, const QString& details)>;
  using ChooseSaveFile = std::function<QString(const QString& title, const QString& suggested)>;
  // The print and page setup dialogs on the window's printer; false when
  // cancelled.
  using ChoosePrinter = std::function<bool(QPrinter* printer)>;

  LibraryWindowController(QLSettings* settings, LibraryWindowControllerDelegate* delegate,
                          QObject* parent = nullptr);
  ~LibraryWindowController() override;

  QMainWindow* window() const;
  LibraryOutlineModel* model() const { return model_; }
  CustomOutlineView* outlineView() const { return outlineView_; }
  SnippetViewController* snippetView() const { return snippetView_; }
  GroupViewController* groupView() const { return groupView_; }
  QUndoStack* undoStack() const { return undoStack_; }
  QStackedWidget* tabView() const { return tabView_; }
  QLabel* labelSelection() const { return labelSelection_; }
  QLabel* labelGroupCount() const { return labelGroupCount_; }
  QLabel* labelSnippetsCount() const { return labelSnippetsCount_; }
  QLabel* labelAutoBackup() const { return labelAutoBackup_; }
  QLabel* labelNextBackup() const { return labelNextBackup_; }
  QLabel* errorBox() const { return errorBox_; }
  QLineEdit* searchTextField() const { return searchTextField_; }
  // The printer every print goes to, with the page setup the user chose
  // (kept in the defaults); made on first use.
  QPrinter* printer();

  Confirm confirm;
  Alert showAlert;
  ChooseSaveFile chooseSaveFile;
  ChoosePrinter choosePrinter;
  ChoosePrinter choosePageSetup;

  // True while the outline is rebuilt: expansion changes are recorded in
  // the groups but not saved.
  bool isResettingOutlineView = false;
  // Shared by every sort key; flips after every sort.
  static bool sortAscending;

  // failed: the last scheduled backup failed, for the reason toolTip; the
  // pair shows it in red, for users without a tray to tell them.
  void setBackupLabels(const QString& autoBackup, const QString& nextBackup, bool failed = false,
                       const QString& toolTip = QString());
  // Start-up found the settings file unreadable and moved it to movedTo.
  void showDamagedSettingsAlert(const QString& movedTo);
  // Shows the window in front (and restores its last frame the first time).
  void showWindow();
  // Re-selects row 0 and re-expands the groups that were expanded.
  void resetView();
  // The library's records were replaced under the outline (another program
  // changed the file): the outline reloads and keeps the selected group or
  // snippet selected when it is still there.
  void followReloadedLibrary();
  // The group new snippets go into: the selected group or the selected
  // snippet's group; in a library without groups a new group "Quillet".
  GroupPtr getCurrentGroup();
  // Flat RTFD of an empty formatted text in the preferences' font.
  QByteArray getEmptyRichTextWithDefaultFont() const;
  // Delete is enabled only while a row is selected.
  bool validateToolbarItem(const QAction* item) const;

  // Commands.
  void actionNewGroup();
  GroupPtr addGroup(const QString& name);
  void actionNewSnippet();
  SnippetPtr addSnippetForGroup(const GroupPtr& group);
  void actionTrash();  // asks first
  void alertDidEnd(int returnCode);
  void actionCopySnippet();
  void actionCutSnippet();
  void actionPasteSnippet();
  void actionDuplicate();
  void actionSort(int tag);
  void actionSearchChanged();
  void actionSaveAsGroup();
  void actionPrintAsGroup();
  void actionPrintAllGroup();
  void actionPageSetup();

  void outlineViewSelectionDidChange();
  void SnippetViewControllerDidFinish(SnippetViewController* editor) override;
  void GroupViewControllerDidFinish(GroupViewController* editor) override;
  // Finishes the edit in progress (before quitting).
  void finishEditing();

  // Items of the selected row.
  GroupPtr selectedGroup() const;      // a group row, or a snippet row's group
  SnippetPtr selectedSnippet() const;  // a snippet row
  void selectGroup(const QLGroup* group);
  void selectSnippet(const QLGroup* group, const QLSnippet* snippet);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildWindow();
  void buildMenus();
  void buildToolbar();
  // undoSelects: the row to select when the command is undone (a deleted
  // group or snippet); otherwise the edited snippet stays selected.
  void runCommand(const QString& text, const std::function<void()>& action,
                  const GroupPtr& undoSelectsGroup = nullptr,
                  const SnippetPtr& undoSelectsSnippet = nullptr);
  // Clears the search before a command adds a row it might hide.
  void showAllForNewRow();
  void afterRestore(const GroupPtr& group, const SnippetPtr& snippet);
  void refreshCounters();
  void updateErrorBox(const SnippetPtr& snippet);
  void setGroupMenuItems(const GroupPtr& group);
  void outlineViewItemDidExpand(const QModelIndex& index, bool expanded);
  int selectedVisualRow() const;
  void selectVisualRow(int row);
  void reselectAfterRemoval(int row);
  bool dropSnippets(const QStringList& uuids, const GroupPtr& source, const GroupPtr& target,
                    bool copy);
  void editAction(const char* textMethod, const std::function<void()>& outlineAction);
  void saveFrame() const;
  void printDocument(const QString& title, const QString& html);

  std::unique_ptr<Ui::LibraryWindow> ui_;
  QLSettings* settings_;
  LibraryWindowControllerDelegate* delegate_;
  std::unique_ptr<QMainWindow> window_;
  LibraryOutlineModel* model_ = nullptr;
  CustomOutlineView* outlineView_ = nullptr;
  OutlineRowDelegate* rowDelegate_ = nullptr;
  SnippetViewController* snippetView_ = nullptr;
  GroupViewController* groupView_ = nullptr;
  QUndoStack* undoStack_ = nullptr;
  QStackedWidget* tabView_ = nullptr;
  QLabel* labelSelection_ = nullptr;
  QLabel* labelGroupCount_ = nullptr;
  QLabel* labelSnippetsCount_ = nullptr;
  QLabel* labelAutoBackup_ = nullptr;
  QLabel* labelNextBackup_ = nullptr;
  QLabel* errorBox_ = nullptr;
  QLineEdit* searchTextField_ = nullptr;
  std::unique_ptr<QPrinter> printer_;
  QMenu* contextMenu_ = nullptr;
  bool frameRestored_ = false;
};
