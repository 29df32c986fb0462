#pragma once

#include "model/ql_group.h"
#include "ui/new_snippet_window_controller_delegate.h"

#include <QList>
#include <QObject>
#include <QVariant>

#include <memory>

class QComboBox;
class QDialog;
class QPushButton;

namespace Ui {
class NewSnippetWindow;
}  // namespace Ui

// The small floating window that starts a snippet while the user works in
// another application: it asks for the group and the content type, and
// hands Create and Cancel to its delegate. It stays on top, and tells when
// the user leaves it for another window.
class NewSnippetWindowController final : public QObject {
  Q_OBJECT

 public:
  explicit NewSnippetWindowController(QObject* parent = nullptr);
  ~NewSnippetWindowController() override;

  NewSnippetWindowControllerDelegate* delegate = nullptr;

  // Each opening sets these, then calls resetView.
  void setGroups(const QList<GroupPtr>& groups) { groups_ = groups; }
  void setSelectedGroup(const GroupPtr& group) { selectedGroup_ = group; }
  void setIsNew(bool isNew) { isNew_ = isNew; }
  void setIsRestoreClipboard(bool restore) { isRestoreClipboard_ = restore; }
  void setData(const QVariant& data) { data_ = data; }
  // The line under the pop-ups: where the content will come from, or why
  // there is none.
  void setNotice(const QString& text);

  const QList<GroupPtr>& groups() const { return groups_; }
  const GroupPtr& selectedGroup() const { return selectedGroup_; }
  bool isNew() const { return isNew_; }
  bool isRestoreClipboard() const { return isRestoreClipboard_; }
  const QVariant& data() const { return data_; }
  QString notice() const;

  // Rebuilds the group pop-up from groups and selects selectedGroup.
  void resetView();
  void actionCreate();
  void actionCancel();

  QDialog* window() const { return window_.get(); }
  QComboBox* btnGroups() const;
  QComboBox* btnFormat() const;
  QPushButton* createButton() const { return createButton_; }
  QPushButton* cancelButton() const { return cancelButton_; }
  bool isVisible() const;
  void hide();

 Q_SIGNALS:
  // Another window of the program took the focus while this one was shown.
  void windowDeactivated();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildWindow();

  std::unique_ptr<Ui::NewSnippetWindow> ui_;
  std::unique_ptr<QDialog> window_;
  QPushButton* createButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QList<GroupPtr> groups_;
  GroupPtr selectedGroup_;
  bool isNew_ = true;
  bool isRestoreClipboard_ = false;
  QVariant data_;
};
