#include "ui/group_view_controller.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kExceptTitle = QStringLiteral("Expand in all applications except:");
const QString kOnlyTitle = QStringLiteral("Expand in only these applications:");

// Stored exceptionType by item of the application-rule pop-up; -1: none.
constexpr int kExceptionTypeByItem[GroupViewController::kExpandInItemCount] = {0, -1, 1, 2, 3, 4};
constexpr int kFixedSoundItems = 2;

}  // namespace

GroupViewController::GroupViewController(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("GroupView"));
  buildForm();
  resetView();
}

GroupViewController::~GroupViewController() {
  if (appSelectionSheet_) appSelectionSheet_->delegate = nullptr;
}

void GroupViewController::buildForm() {
  nameTextField_ = new QLineEdit;
  nameTextField_->setObjectName(QStringLiteral("nameTextField"));
  abbreviationTextField_ = new QLineEdit;
  abbreviationTextField_->setObjectName(QStringLiteral("abbreviationTextField"));
  // textChanged, not textEdited: the field's own undo and redo change the
  // group too.
  connect(nameTextField_, &QLineEdit::textChanged, this,
          [this] { controlTextDidChange(nameTextField_); });
  connect(abbreviationTextField_, &QLineEdit::textChanged, this,
          [this] { controlTextDidChange(abbreviationTextField_); });

  expandInButton_ = new QComboBox;
  expandInButton_->setObjectName(QStringLiteral("expandInButton"));
  expandInButton_->addItem(QStringLiteral("Expand as the preferences say"));
  expandInButton_->insertSeparator(1);
  expandInButton_->addItems({QStringLiteral("Expand in all applications"),
                             QStringLiteral("Expand in all applications except…"),
                             QStringLiteral("Expand in only these applications…"),
                             QStringLiteral("Never expand")});
  connect(expandInButton_, &QComboBox::activated, this, &GroupViewController::actionExpandIn);
  applicationsLabel_ = new QLabel;
  applicationsLabel_->setObjectName(QStringLiteral("applicationsLabel"));
  applicationsLabel_->setTextFormat(Qt::PlainText);
  applicationsLabel_->setWordWrap(true);
  chooseApplicationsButton_ = new QPushButton(QStringLiteral("Choose…"));
  connect(chooseApplicationsButton_, &QPushButton::clicked, this,
          [this] { actionExpandIn(expandInButton_->currentIndex()); });
  auto* appsRow = new QHBoxLayout;
  appsRow->addWidget(applicationsLabel_, 1);
  appsRow->addWidget(chooseApplicationsButton_, 0, Qt::AlignTop);

  expandAfterButton_ = new QComboBox;
  expandAfterButton_->setObjectName(QStringLiteral("expandAfterButton"));
  expandAfterButton_->addItems({QStringLiteral("As the preferences say"),
                                QStringLiteral("Only after a space"),
                                QStringLiteral("After any non-alphanumeric character"),
                                QStringLiteral("Anywhere, also inside a word")});
  connect(expandAfterButton_, &QComboBox::activated, this, &GroupViewController::actionExpandAfter);

  soundButton_ = new QComboBox;
  soundButton_->setObjectName(QStringLiteral("soundButton"));
  soundButton_->addItems({QStringLiteral("The preferences' sound"), QStringLiteral("No sound")});
  connect(soundButton_, &QComboBox::activated, this, &GroupViewController::actionSound);

  includeInSuggestionsList_ = new QCheckBox(QStringLiteral("Offer these snippets as suggestions"));
  allowGroupSuggestions_ = new QCheckBox(QStringLiteral("Allow group suggestions"));
  connect(includeInSuggestionsList_, &QCheckBox::clicked, this,
          &GroupViewController::actionIncludeInSuggestionsList);
  connect(allowGroupSuggestions_, &QCheckBox::clicked, this,
          &GroupViewController::actionAllowGroupSuggestions);

  // The three pop-ups line up.
  const int width = std::max({expandInButton_->sizeHint().width(),
                              expandAfterButton_->sizeHint().width(),
                              soundButton_->sizeHint().width()});
  for (QComboBox* box : {expandInButton_, expandAfterButton_, soundButton_})
    box->setMinimumWidth(width);

  auto* form = new QFormLayout;
  form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
  form->addRow(QStringLiteral("Name:"), nameTextField_);
  form->addRow(QStringLiteral("Abbreviation:"), abbreviationTextField_);
  form->addRow(QStringLiteral("Applications:"), expandInButton_);
  form->addRow(QString(), appsRow);
  form->addRow(QStringLiteral("Abbreviations expand:"), expandAfterButton_);
  form->addRow(QStringLiteral("Sound:"), soundButton_);
  form->addRow(QString(), includeInSuggestionsList_);
  form->addRow(QString(), allowGroupSuggestions_);
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(form);
  outer->addStretch(1);
}

void GroupViewController::loadSounds() {
  while (soundButton_->count() > kFixedSoundItems) soundButton_->removeItem(kFixedSoundItems);
  if (soundPlayer) soundButton_->addItems(soundPlayer->soundNames());
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
  nameTextField_->setFocus(Qt::OtherFocusReason);
  nameTextField_->selectAll();
}

void GroupViewController::resetView() {
  const QScopedValueRollback<bool> resetting(isResetting_, true);
  expandInButton_->setCurrentIndex(0);
  expandAfterButton_->setCurrentIndex(0);
  soundButton_->setCurrentIndex(0);
  setEnabled(bool(group_));
  if (!group_) {
    nameTextField_->clear();
    abbreviationTextField_->clear();
    showApplications();
    return;
  }
  nameTextField_->setText(group_->name);
  abbreviationTextField_->setText(group_->abbreviation);
  expandInButton_->setCurrentIndex(expandInItemForExceptionType(group_->exceptionType));
  if (group_->sound && group_->sound->isEmpty()) {
    soundButton_->setCurrentIndex(1);
  } else if (group_->sound) {
    // A sound this desktop cannot play shows as the preferences' sound; the
    // stored name stays until the user picks another.
    const int item = soundButton_->findText(*group_->sound, Qt::MatchExactly);
    if (item >= kFixedSoundItems) soundButton_->setCurrentIndex(item);
  }
  if (group_->expandType >= 0 && group_->expandType <= 3)
    expandAfterButton_->setCurrentIndex(group_->expandType);
  includeInSuggestionsList_->setChecked(group_->includeInSuggestionsList);
  allowGroupSuggestions_->setChecked(group_->allowGroupSuggestions);
  showApplications();
}

void GroupViewController::showApplications() {
  const bool listed = group_ && (group_->exceptionType == QLGroup::AllAppsExcept ||
                                 group_->exceptionType == QLGroup::OnlyApps);
  applicationsLabel_->setVisible(listed);
  chooseApplicationsButton_->setVisible(listed);
  if (!listed) return;
  applicationsLabel_->setText(group_->exceptions.isEmpty()
                                  ? QStringLiteral("No applications chosen.")
                                  : group_->exceptions.join(QStringLiteral(", ")));
}

void GroupViewController::report() {
  if (delegate) delegate->GroupViewControllerDidFinish(this);
}

void GroupViewController::controlTextDidChange(QLineEdit* field) {
  if (!group_ || isResetting_) return;
  if (field == nameTextField_) group_->name = field->text();
  else if (field == abbreviationTextField_) group_->abbreviation = field->text();
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
  appSelectionSheet_->setSelectedAppViewTitle(type == QLGroup::AllAppsExcept ? kExceptTitle
                                                                            : kOnlyTitle);
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
    group_->sound = soundButton_->itemText(item);
    if (soundPlayer) soundPlayer->play(*group_->sound);
  }
  report();
}

void GroupViewController::actionIncludeInSuggestionsList() {
  if (!group_) return;
  group_->includeInSuggestionsList = includeInSuggestionsList_->isChecked();
  report();
}

void GroupViewController::actionAllowGroupSuggestions() {
  if (!group_) return;
  group_->allowGroupSuggestions = allowGroupSuggestions_->isChecked();
  report();
}
