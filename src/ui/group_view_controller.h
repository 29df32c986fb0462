#pragma once

#include "model/ql_group.h"
#include "platform/sound_player.h"
#include "ui/app_selection_sheet_controller.h"
#include "ui/app_selection_sheet_controller_delegate.h"
#include "ui/group_view_controller_delegate.h"

#include <QWidget>

#include <memory>

class QLineEdit;

namespace Ui {
class GroupView;
}  // namespace Ui

// The group editor: name, abbreviation, the application rule with its
// applications, the position rule, the sound and the suggestion flags.
// Every change goes into the group at once and is reported.
class GroupViewController final : public QWidget, public AppSelectionSheetControllerDelegate {
  Q_OBJECT

 public:
  // The application rule's pop-up: item 1 separates the rules that follow
  // the preferences from the group's own.
  static constexpr int kExpandInItemCount = 6;

  explicit GroupViewController(QWidget* parent = nullptr);
  ~GroupViewController() override;

  GroupViewControllerDelegate* delegate = nullptr;
  // Plays the sound chosen; its names fill the sound pop-up (loadSounds).
  ql::SoundPlayer* soundPlayer = nullptr;
  // The applications the picker offers.
  AppSelectionSheetController::LoadApps installedApplications;

  void setGroup(const GroupPtr& group);
  const GroupPtr& group() const { return group_; }
  void resetView();
  void updateView() {}
  void setFocus();
  // The sound pop-up's items from index 2 on, from the sound player.
  void loadSounds();

  // Index mappings of the pop-ups; -1: the item stands for no value.
  static int exceptionTypeForExpandInItem(int item);
  static int expandInItemForExceptionType(int exceptionType);

  void controlTextDidChange(QLineEdit* field);
  void actionExpandIn(int item);
  void actionExpandAfter(int item);
  void actionSound(int item);
  void actionIncludeInSuggestionsList();
  void actionAllowGroupSuggestions();
  void AppSelectionSheetControllerDidFinish(AppSelectionSheetController* sheet) override;

  AppSelectionSheetController* appSelectionSheet() const { return appSelectionSheet_.get(); }

 private:
  void connectForm();
  void report();
  void showApplications();

  GroupPtr group_;
  bool isResetting_ = false;
  // The group the open picker was opened for.
  GroupPtr sheetGroup_;
  std::unique_ptr<AppSelectionSheetController> appSelectionSheet_;

  std::unique_ptr<Ui::GroupView> ui_;
};
