#include "ui/new_snippet_window_controller.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A group without a name still needs a row the user can see and pick.
QString titleForGroup(const QLGroup& group) {
  return group.name.isEmpty() ? QStringLiteral("(Untitled)") : group.name;
}

}  // namespace

NewSnippetWindowController::NewSnippetWindowController(QObject* parent) : QObject(parent) {
  buildWindow();
}

NewSnippetWindowController::~NewSnippetWindowController() {
  if (window_) window_->removeEventFilter(this);
}

void NewSnippetWindowController::buildWindow() {
  window_ = std::make_unique<QDialog>();
  window_->setObjectName(QStringLiteral("NewSnippet"));
  window_->setWindowTitle(QStringLiteral("New Snippet"));
  // A floating panel over the application the user works in; it has no
  // title bar, so the frame inside draws its edge.
  window_->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  window_->setAttribute(Qt::WA_QuitOnClose, false);

  auto* outer = new QVBoxLayout(window_.get());
  outer->setContentsMargins(0, 0, 0, 0);
  auto* frame = new QFrame(window_.get());
  frame->setFrameShape(QFrame::StyledPanel);
  frame->setFrameShadow(QFrame::Raised);
  outer->addWidget(frame);

  auto* layout = new QVBoxLayout(frame);
  layout->setContentsMargins(16, 12, 16, 12);
  auto* title = new QLabel(QStringLiteral("New Snippet"), frame);
  QFont bold = title->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.15);
  title->setFont(bold);
  layout->addWidget(title);

  auto* form = new QFormLayout;
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  btnGroups_ = new QComboBox(frame);
  btnGroups_->setObjectName(QStringLiteral("btnGroups"));
  btnGroups_->setMinimumContentsLength(24);
  btnGroups_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  form->addRow(QStringLiteral("&Group:"), btnGroups_);
  btnFormat_ = new QComboBox(frame);
  btnFormat_->setObjectName(QStringLiteral("btnFormat"));
  // Item index = the snippet's content type.
  btnFormat_->addItems({QStringLiteral("Plain Text"), QStringLiteral("Formatted Text")});
  form->addRow(QStringLiteral("&Format:"), btnFormat_);
  layout->addLayout(form);

  noticeLabel_ = new QLabel(frame);
  noticeLabel_->setWordWrap(true);
  noticeLabel_->setForegroundRole(QPalette::PlaceholderText);
  noticeLabel_->hide();
  layout->addWidget(noticeLabel_);

  auto* buttons = new QDialogButtonBox(frame);
  createButton_ = buttons->addButton(QStringLiteral("Create"), QDialogButtonBox::AcceptRole);
  cancelButton_ = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  createButton_->setDefault(true);
  createButton_->setAutoDefault(true);
  layout->addWidget(buttons);

  connect(createButton_, &QPushButton::clicked, this, &NewSnippetWindowController::actionCreate);
  // Cancel, Escape and closing the window all end in QDialog::reject.
  connect(cancelButton_, &QPushButton::clicked, window_.get(), &QDialog::reject);
  connect(window_.get(), &QDialog::rejected, this, &NewSnippetWindowController::actionCancel);
  window_->installEventFilter(this);
  window_->adjustSize();
}

void NewSnippetWindowController::setNotice(const QString& text) {
  noticeLabel_->setText(text);
  noticeLabel_->setVisible(!text.isEmpty());
  window_->adjustSize();
}

QString NewSnippetWindowController::notice() const { return noticeLabel_->text(); }

void NewSnippetWindowController::resetView() {
  if (!groups_.isEmpty() || btnGroups_->count() > 0) {
    btnGroups_->clear();
    for (const GroupPtr& group : std::as_const(groups_)) {
      if (!group) continue;
      // The name and the record travel with the item, so Create can tell
      // whether the row still stands for the same group.
      btnGroups_->addItem(titleForGroup(*group), group->uuid);
      btnGroups_->setItemData(btnGroups_->count() - 1, group->name, Qt::UserRole + 1);
    }
  }
  if (selectedGroup_) {
    const int at = btnGroups_->findData(selectedGroup_->uuid);
    if (at >= 0) btnGroups_->setCurrentIndex(at);
  }
  createButton_->setEnabled(btnGroups_->count() > 0);
  createButton_->setFocus(Qt::OtherFocusReason);
}

void NewSnippetWindowController::actionCreate() {
  if (delegate) delegate->createNewSnippet(this);
}

void NewSnippetWindowController::actionCancel() {
  if (delegate) delegate->cancelNewSnippet(this);
}

bool NewSnippetWindowController::isVisible() const { return window_->isVisible(); }

void NewSnippetWindowController::hide() { window_->hide(); }

bool NewSnippetWindowController::eventFilter(QObject* watched, QEvent* event) {
  // Another window of the program took the focus. Where the focus went to
  // another application, the workspace tells (the toolkit alone also reports
  // keyboard grabs and window-manager hand-overs as a loss of focus).
  if (watched == window_.get() && event->type() == QEvent::ActivationChange &&
      !window_->isActiveWindow() && window_->isVisible()) {
    const QWidget* active = QApplication::activeWindow();
    if (active && active != window_.get()) Q_EMIT windowDeactivated();
  }
  return QObject::eventFilter(watched, event);
}
