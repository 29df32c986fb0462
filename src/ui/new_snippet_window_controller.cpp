#include "ui/new_snippet_window_controller.h"

#include "ui_new_snippet_window_controller.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

namespace {

// A group without a name still needs a row the user can see and pick.
QString titleForGroup(const QLGroup& group) {
  return group.name.isEmpty() ? NewSnippetWindowController::tr("(Untitled)") : group.name;
}

}  // namespace

NewSnippetWindowController::NewSnippetWindowController(QObject* parent)
    : QObject(parent), ui_(std::make_unique<Ui::NewSnippetWindow>()) {
  buildWindow();
}

NewSnippetWindowController::~NewSnippetWindowController() {
  if (window_) window_->removeEventFilter(this);
}

void NewSnippetWindowController::buildWindow() {
  window_ = std::make_unique<QDialog>();
  ui_->setupUi(window_.get());
  // A floating panel over the application the user works in; it has no
  // title bar, so the frame inside draws its edge.
  window_->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  window_->setAttribute(Qt::WA_QuitOnClose, false);
  QFont bold = ui_->titleLabel->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.15);
  ui_->titleLabel->setFont(bold);
  ui_->noticeLabel->setForegroundRole(QPalette::PlaceholderText);
  ui_->noticeLabel->hide();
  createButton_ = ui_->buttons->addButton(tr("Create"), QDialogButtonBox::AcceptRole);
  cancelButton_ = ui_->buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
  createButton_->setObjectName(QStringLiteral("createButton"));
  cancelButton_->setObjectName(QStringLiteral("cancelButton"));
  createButton_->setDefault(true);
  createButton_->setAutoDefault(true);

  connect(createButton_, &QPushButton::clicked, this, &NewSnippetWindowController::actionCreate);
  // Cancel, Escape and closing the window all end in QDialog::reject.
  connect(cancelButton_, &QPushButton::clicked, window_.get(), &QDialog::reject);
  connect(window_.get(), &QDialog::rejected, this, &NewSnippetWindowController::actionCancel);
  window_->installEventFilter(this);
  window_->adjustSize();
}

void NewSnippetWindowController::setNotice(const QString& text) {
  ui_->noticeLabel->setText(text);
  ui_->noticeLabel->setVisible(!text.isEmpty());
  window_->adjustSize();
}

QComboBox* NewSnippetWindowController::btnGroups() const { return ui_->btnGroups; }

// Item index = the snippet's content type.
QComboBox* NewSnippetWindowController::btnFormat() const { return ui_->btnFormat; }

QString NewSnippetWindowController::notice() const { return ui_->noticeLabel->text(); }

void NewSnippetWindowController::resetView() {
  if (!groups_.isEmpty() || ui_->btnGroups->count() > 0) {
    ui_->btnGroups->clear();
    for (const GroupPtr& group : std::as_const(groups_)) {
      if (!group) continue;
      // The name and the record travel with the item, so Create can tell
      // whether the row still stands for the same group.
      ui_->btnGroups->addItem(titleForGroup(*group), group->uuid);
      ui_->btnGroups->setItemData(ui_->btnGroups->count() - 1, group->name, Qt::UserRole + 1);
    }
  }
  if (selectedGroup_) {
    const int at = ui_->btnGroups->findData(selectedGroup_->uuid);
    if (at >= 0) ui_->btnGroups->setCurrentIndex(at);
  }
  createButton_->setEnabled(ui_->btnGroups->count() > 0);
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
