#pragma once

#include "app/fill_in_window_controller.h"
#include "expansion/expansion_executor.h"
#include "expansion/keyboard_hook.h"
#include "expansion/keyboard_hook_delegate.h"
#include "expansion/system_services.h"
#include "model/ql_settings.h"
#include "model/ql_statistics.h"
#include "platform/platform.h"

#include <QObject>

#include <functional>
#include <memory>

// The main controller: owns the library, the statistics, the keyboard hook,
// the executor and the fill-in form for the whole run, starts them up and
// shuts them down, and answers the hook, the executor and the form.
class QuilletAppDelegate final : public QObject,
                                 public KeyboardHookDelegate,
                                 public ql::ExpansionExecutorDelegate,
                                 public FillInWindowControllerDelegate {
  Q_OBJECT

 public:
  // A critical alert with one button; answers 1 when that button was chosen.
  using AlertPanel = std::function<int(const QString& title, const QString& message,
                                       const QString& details, const QString& button)>;

  explicit QuilletAppDelegate(const ql::Platform& platform, QObject* parent = nullptr);
  ~QuilletAppDelegate() override;

  // Start-up: the application folder, the library and its start-up copy,
  // the "Backups" folder, the expansion switch, the notifications, the
  // assistive-access check, the keyboard hook and the statistics. False when
  // the program is to quit (the user chose so at the access alert).
  bool awakeFromNib();
  // Shut-down: the hook lets go of the keyboard. Nothing needs saving.
  void applicationWillTerminate();

  // Makes sure application folder + name exists.
  bool createApplicationUsersFolder(const QString& name, QString* error = nullptr);

  // Workspace and window notifications.
  void foremostAppActivated(const ql::ApplicationInfo& application);
  void windowDeactivated();

  // Brings back the application the user typed in before the form opened.
  void activteLastApp();
  // The second stage with the form's content, 0.1 s after OK; 1 when done
  // (or when there is no form).
  int executeSnippetFill(int contentLength);

  // The keyboard hook's delegate.
  bool mouseMouseEvent(KeyboardHook* hook, const ql::MouseEvent& event) override;
  bool keyEvent(KeyboardHook* hook, const ql::KeyEvent& event) override;
  QLSettings* settings() override { return settings_.get(); }
  // Where an unreadable settings file was moved at start-up; empty if none.
  QString movedAsideSettingsPath() const {
    return settings_ ? settings_->movedAsideSettingsPath : QString();
  }
  void closeSearchMenuWindow() override {}
  void closeSearchPopupWindow() override {}
  void closeFillInWindow() override { activteLastApp(); }
  void processSuggestionsHotKey(const QString& text) override;
  bool processSnippet(const SnippetPtr& snippet, int contentLength, int abbreviationCase,
                      bool clearAbbreviation, const QString& delimiter,
                      const QString& abbreviation, int removeLengtOffset) override;
  void showPopup(const QString& word, const QString& delimiter) override;

  // The executor's delegate.
  QLStatistics* statistics() override { return statistics_.get(); }
  void setHookEnabled(bool on) override;
  void showFillInForm(ql::FillInForm form) override;
  void cleanUp() override;
  bool isRestoreClipboard() const override;

  // The fill-in form's delegate.
  void fillInOk(FillInWindowController* form, int contentLength) override;
  void fillInCancel(FillInWindowController* form) override;

  KeyboardHook* eventHandler() const { return eventHandler_.get(); }
  ql::ExpansionExecutor& executor() { return executor_; }
  ql::SystemServices& services() { return services_; }
  FillInWindowController* fillInPanel() const { return fillInPanel_.get(); }

  // Whether expansion is switched on (mirrors isExtendAbbreviation).
  bool isQLEnabled = false;
  // The alert of the access check; tests replace it.
  AlertPanel alertPanel;

 private:
  bool checkAccessAndInstallHook();
  bool warnAboutAccess(const QString& details);

  ql::Platform platform_;
  ql::SystemServices services_;
  std::unique_ptr<QLSettings> settings_;
  std::unique_ptr<QLStatistics> statistics_;
  std::unique_ptr<KeyboardHook> eventHandler_;
  ql::ExpansionExecutor executor_;
  std::unique_ptr<FillInWindowController> fillInPanel_;
  bool typedSinceExpansion_ = false;
};
