#include "app/fill_in_window_controller.h"

#include "content/string_helper.h"
#include "model/string_utilities.h"
#include "ui/text_document_bridge.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

constexpr int kEntryHeight = 22;
constexpr int kEntrySpacing = 5;

}  // namespace

FillInWindowController::FillInWindowController(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FillIn"));
  setWindowTitle(ql::Utilities::getAppTitle());
  // Above ordinary windows, like a status window.
  setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);

  snippetTextView_ = new QTextEdit(this);
  snippetTextView_->setReadOnly(true);
  snippetTextView_->setObjectName(QStringLiteral("snippetTextView"));

  contentView_ = new QWidget;
  formLayout_ = new QFormLayout(contentView_);
  formLayout_->setVerticalSpacing(kEntrySpacing);
  formLayout_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  scrollView_ = new QScrollArea(this);
  scrollView_->setWidgetResizable(true);
  scrollView_->setWidget(contentView_);

  auto* splitter = new QSplitter(Qt::Vertical, this);
  splitter->addWidget(snippetTextView_);
  splitter->addWidget(scrollView_);
  splitter->setChildrenCollapsible(false);

  auto* buttons = new QDialogButtonBox(this);
  btnOk_ = buttons->addButton(QDialogButtonBox::Ok);
  QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
  // Return is handled once, by keyPressEvent, not by a default button too.
  btnOk_->setAutoDefault(false);
  cancel->setAutoDefault(false);
  connect(btnOk_, &QPushButton::clicked, this, &FillInWindowController::actionFillInPanelOk);
  connect(cancel, &QPushButton::clicked, this, &FillInWindowController::actionFillInPanelCancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(splitter, 1);
  layout->addWidget(buttons);
  resize(460, 360);
}

void FillInWindowController::resetView() {
  form.resetView();
  showPreview();

  while (formLayout_->rowCount() > 0) formLayout_->removeRow(0);
  fields_.clear();
  editedField_ = -1;
  for (const ql::FormField& field : std::as_const(form.formFields)) {
    auto* entry = new QLineEdit(contentView_);
    entry->setPlaceholderText(field.name());
    entry->setText(field.value);
    entry->setMinimumHeight(kEntryHeight);
    const int tag = int(fields_.size());
    connect(entry, &QLineEdit::textEdited, this, [this, tag] {
      editedField_ = tag;
      controlTextDidChange();
    });
    formLayout_->addRow(new QLabel(field.title(), contentView_), entry);
    fields_.append(entry);
  }
  contentView_->setMinimumHeight(qMax(0, form.formHeight()));

  if (!fields_.isEmpty()) {
    // Typing replaces the field's name at once.
    fields_.first()->setFocus(Qt::OtherFocusReason);
    fields_.first()->selectAll();
  }
}

void FillInWindowController::showPreview() {
  const ql::AttributedText& preview = form.preview();
  if (form.previewIsRich()) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    snippetTextView_->document()->setDefaultFont(font);
    // Tab stops every half inch (one centimetre where the user measures so),
    // as in the snippet editor.
    snippetTextView_->setTabStopDistance(ql::formattedTabDistance());
    snippetTextView_->setHtml(ql::helper::htmlForAttributedString(preview));
  } else {
    const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    snippetTextView_->document()->setDefaultFont(font);
    snippetTextView_->setTabStopDistance(ql::plainTabDistance(font));
    snippetTextView_->setPlainText(preview.string());
  }
}

int FillInWindowController::selectedField() const {
  // The entry that has, or last had, the focus in this window; else the
  // one last edited.
  const QWidget* focused = focusWidget();
  for (int i = 0; i < fields_.size(); ++i)
    if (fields_[i] == focused) return i;
  return editedField_ < fields_.size() ? editedField_ : -1;
}

void FillInWindowController::updateText(bool showKeys, bool replaceEmpty, bool highlight) {
  for (int i = 0; i < fields_.size(); ++i) form.setFieldValue(i, fields_[i]->text());
  form.updateText(showKeys, replaceEmpty, highlight, selectedField());
  showPreview();
  QTextCursor cursor(snippetTextView_->document());
  if (highlight && form.highlightLength() > 0) {
    cursor.setPosition(form.highlightLocation());
    cursor.setPosition(form.highlightLocation() + form.highlightLength(), QTextCursor::KeepAnchor);
  }
  snippetTextView_->setTextCursor(cursor);
  snippetTextView_->ensureCursorVisible();
}

void FillInWindowController::updateData() {
  for (int i = 0; i < fields_.size(); ++i) form.setFieldValue(i, fields_[i]->text());
  form.updateData();
}

void FillInWindowController::controlTextDidChange() {
  if (selectedField() < 0) return;
  updateText(true, false, true);
}

void FillInWindowController::actionFillInPanelOk() {
  if (!delegate) return;
  for (int i = 0; i < fields_.size(); ++i) form.setFieldValue(i, fields_[i]->text());
  const int length = form.confirm();
  delegate->fillInOk(this, length);
}

void FillInWindowController::actionFillInPanelCancel() {
  if (delegate) delegate->fillInCancel(this);
}

void FillInWindowController::reject() { actionFillInPanelCancel(); }

void FillInWindowController::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    actionFillInPanelOk();
    return;
  }
  QDialog::keyPressEvent(event);
}

void FillInWindowController::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() != QEvent::ActivationChange) return;
  if (!isActiveWindow()) {
    if (isVisible()) Q_EMIT windowDeactivated();
    return;
  }
  // The window was shown before it was active; the entry asked for the
  // focus then, so it gets it now that typing reaches the window.
  if (!fields_.isEmpty() && !contentView_->isAncestorOf(QApplication::focusWidget())) {
    QLineEdit* entry = fields_.value(selectedField(), fields_.first());
    entry->setFocus(Qt::ActiveWindowFocusReason);
    if (editedField_ < 0) entry->selectAll();
  }
}
