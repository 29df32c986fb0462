#include "ui/group_view_controller.h"

#include "ui_group_view_controller.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>

#include <algorithm>

namespace {

// Stored exceptionType by item of the application-rule pop-up; -1: none.
constexpr int kExceptionTypeByItem[GroupViewController::kExpandInItemCount] = {0, -1, 1, 2, 3, 4};
constexpr int kFixedSoundItems = 2;

}  // namespace

GroupViewController::GroupViewController(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::GroupView>()) {
  ui_->setupUi(this);
  connectForm();
  resetView();
}

GroupViewController::~GroupViewController() {
  if (appSelectionSheet_) appSelectionSheet_->delegate = nullptr;
}

void GroupViewController::connectForm() {
  // textChanged, not textEdited: the field's own undo and redo change the
  // group too.
  connect(ui_->nameTextField, &QLineEdit::textChanged, this, [this] { controlTextDidChange(ui_->nameTextField); });
  connect(ui_->abbreviationTextField, &QLineEdit::textChanged, this,
          [this] { controlTextDidChange(ui_->abbreviationTextField); });
  // The rules that follow the preferences apart from the group's own.
  ui_->expandInButton->insertSeparator(1);
  connect(ui_->expandInButton, &QComboBox::activated, this, &GroupViewController::actionExpandIn);
  connect(ui_->chooseApplicationsButton, &QPushButton::clicked, this,
          [this] { actionExpandIn(ui_->expandInButton->currentIndex()); });
  connect(ui_->expandAfterButton, &QComboBox::activated, this, &GroupViewController::actionExpandAfter);
  connect(ui_->soundButton, &QComboBox::activated, this, &GroupViewController::actionSound);
  connect(ui_->includeInSuggestionsListButton, &QCheckBox::clicked, this,
          &GroupViewController::actionIncludeInSuggestionsList);
  connect(ui_->allowGroupSuggestionsButton, &QCheckBox::clicked, this,
          &GroupViewController::actionAllowGroupSuggestions);

  // The three pop-ups line up.
  const int width = std::max({ui_->expandInButton->sizeHint().width(), ui_->expandAfterButton->sizeHint().width(),
                              ui_->soundButton->sizeHint().width()});
  for (QComboBox* box : {ui_->expandInButton, ui_->expandAfterButton, ui_->soundButton}) box->setMinimumWidth(width);
}

void GroupViewController::loadSounds() {
  while (ui_->soundButton->count() > kFixedSoundItems) ui_->soundButton->removeItem(kFixedSoundItems);
  if (soundPlayer) ui_->soundButton->addItems(soundPlayer->soundNames());
  resetView();
}

int GroupViewController::exceptionTypeForExpandInItem(int item) {
  return item >= 0 && item < kExpandInItemCount ? kExceptionTypeByItem[item] : -1;
}

int GroupViewController::expandInItemForExceptionType(int exceptionType) {
  if (exceptionType < 0) return 0;
  for (int item = 0; item < kExpandInItemCount; ++item)
    if (kExceptionTypeByItem[item] == exceptionType) return item;
  return 0;
}

void GroupViewController::setGroup(const GroupPtr& group) {
  group_ = group;
  resetView();
}

void GroupViewController::setFocus() {
  ui_->nameTextField->setFocus(Qt::OtherFocusReason);
  ui_->nameTextField->selectAll();
}

void GroupViewController::resetView() {
  const QScopedValueRollback<bool> resetting(isResetting_, true);
  ui_->expandInButton->setCurrentIndex(0);
  ui_->expandAfterButton->setCurrentIndex(0);
  ui_->soundButton->setCurrentIndex(0);
  setEnabled(bool(group_));
  if (!group_) {
    ui_->nameTextField->clear();
    ui_->abbreviationTextField->clear();
    showApplications();
    return;
  }
  ui_->nameTextField->setText(group_->name);
  ui_->abbreviationTextField->setText(group_->abbreviation);
  ui_->expandInButton->setCurrentIndex(expandInItemForExceptionType(group_->exceptionType));
  if (group_->sound && group_->sound->isEmpty()) {
    ui_->soundButton->setCurrentIndex(1);
  } else if (group_->sound) {
    // A sound this desktop cannot play shows as the preferences' sound; the
    // stored name stays until the user picks another.
    const int item = ui_->soundButton->findText(*group_->sound, Qt::MatchExactly);
    if (item >= kFixedSoundItems) ui_->soundButton->setCurrentIndex(item);
  }
  if (group_->expandType >= 0 && group_->expandType <= 3)
    ui_->expandAfterButton->setCurrentIndex(group_->expandType);
  ui_->includeInSuggestionsListButton->setChecked(group_->includeInSuggestionsList);
  ui_->allowGroupSuggestionsButton->setChecked(group_->allowGroupSuggestions);
  showApplications();
}

void GroupViewController::showApplications() {
  const bool listed = group_ && (group_->exceptionType == QLGroup::AllAppsExcept ||
                                 group_->exceptionType == QLGroup::OnlyApps);
  ui_->applicationsLabel->setVisible(listed);
  ui_->chooseApplicationsButton->setVisible(listed);
  if (!listed) return;
  ui_->applicationsLabel->setText(group_->exceptions.isEmpty()
                                  ? tr("No applications chosen.")
                                  : group_->exceptions.join(QStringLiteral(", ")));
}

void GroupViewController::report() {
  if (delegate) delegate->GroupViewControllerDidFinish(this);
}

void GroupViewController::controlTextDidChange(QLineEdit* field) {
  if (!group_ || isResetting_) return;
  if (field == ui_->nameTextField) group_->name = field->text();
  else if (field == ui_->abbreviationTextField) group_->abbreviation = field->text();
  else return;
  report();
}

void GroupViewController::actionExpandIn(int item) {
  if (!group_) return;
  const int type = exceptionTypeForExpandInItem(item);
  if (type < 0) return;
  if (type != QLGroup::AllAppsExcept && type != QLGroup::OnlyApps) {
    group_->exceptionType = type;
    showApplications();
    report();
    return;
  }
  // The group changes only when the picker is confirmed.
  if (appSelectionSheet_) appSelectionSheet_->delegate = nullptr;
  appSelectionSheet_ = std::make_unique<AppSelectionSheetController>(window(), installedApplications);
  appSelectionSheet_->delegate = this;
  appSelectionSheet_->setSelectedAppViewTitle(type == QLGroup::AllAppsExcept ? tr("Expand in all applications except:")
                                                                            : tr("Expand in only these applications:"));
  appSelectionSheet_->setExceptionType(type);
  appSelectionSheet_->setIsCancel(false);
  if (group_->exceptionType == type) appSelectionSheet_->setExceptions(group_->exceptions);
  sheetGroup_ = group_;
  appSelectionSheet_->showSheet();
}

void GroupViewController::AppSelectionSheetControllerDidFinish(AppSelectionSheetController* sheet) {
  const GroupPtr target = sheetGroup_;
  sheetGroup_.reset();
  // The editor moved on to another group meanwhile: this answer is not its.
  if (!sheet || !group_ || target != group_) return;
  if (sheet->isCancel()) {
    resetView();
    return;
  }
  group_->exceptionType = sheet->exceptionType();
  group_->exceptions = sheet->selectedAppNames();
  showApplications();
  report();
}

void GroupViewController::actionExpandAfter(int item) {
  if (!group_ || item < 0 || item > 3) return;
  group_->expandType = item;
  report();
}

void GroupViewController::actionSound(int item) {
  if (!group_ || item < 0) return;
  if (item == 0) {
    group_->sound.reset();
  } else if (item == 1) {
    group_->sound = QString();
  } else {
    group_->sound = ui_->soundButton->itemText(item);
    if (soundPlayer) soundPlayer->play(*group_->sound);
  }
  report();
}

void GroupViewController::actionIncludeInSuggestionsList() {
  if (!group_) return;
  group_->includeInSuggestionsList = ui_->includeInSuggestionsListButton->isChecked();
  report();
}

void GroupViewController::actionAllowGroupSuggestions() {
  if (!group_) return;
  group_->allowGroupSuggestions = ui_->allowGroupSuggestionsButton->isChecked();
  report();
}
