#pragma once

#include "app/fill_in_window_controller_delegate.h"
#include "content/fill_in_form.h"

#include <QDialog>
#include <QList>

class QFormLayout;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTextEdit;

// The fill-in form: one labelled entry per field of the expanded content
// and a read-only preview that shows the values as they are typed. OK (or
// Return, or keypad Enter) writes them into the content and hands it to the
// delegate; Cancel, Escape or closing the window abandons the expansion.
class FillInWindowController final : public QDialog {
  Q_OBJECT

 public:
  explicit FillInWindowController(QWidget* parent = nullptr);

  FillInWindowControllerDelegate* delegate = nullptr;
  // data, keys, fills, delimiter and snippet; data changes only on OK.
  ql::FillInForm form;

  // Fills the preview and builds the entries; called each time the form shows.
  void resetView();
  // Copies the entries into the fields and redraws the preview.
  void updateText(bool showKeys, bool replaceEmpty, bool highlight);
  // Writes the filled-in content into the form's data.
  void updateData();

  void actionFillInPanelOk();
  void actionFillInPanelCancel();
  // Any edit in an entry.
  void controlTextDidChange();

  const QList<QLineEdit*>& fields() const { return fields_; }
  QTextEdit* snippetTextView() const { return snippetTextView_; }
  QPushButton* okButton() const { return btnOk_; }

 Q_SIGNALS:
  // The window lost the focus while visible: the user left it.
  void windowDeactivated();

 protected:
  void reject() override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void showPreview();
  int selectedField() const;

  QTextEdit* snippetTextView_ = nullptr;
  QScrollArea* scrollView_ = nullptr;
  QWidget* contentView_ = nullptr;
  QFormLayout* formLayout_ = nullptr;
  QPushButton* btnOk_ = nullptr;
  QList<QLineEdit*> fields_;
  int editedField_ = -1;
};
