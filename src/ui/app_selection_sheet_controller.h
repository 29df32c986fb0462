#pragma once

#include "platform/workspace.h"
#include "ui/app_selection_list_model.h"
#include "ui/app_selection_sheet_controller_delegate.h"

#include <QObject>
#include <QPointer>

#include <functional>

#include <memory>

class QDialog;
class QListView;
class QModelIndex;
class QWidget;

namespace Ui {
class AppSelectionSheet;
}  // namespace Ui

// The application picker: every application on the left, the chosen ones
// on the right, a search field over the left list. Double click, Return or
// a drag moves entries between the lists. Names a rule already stores that
// no installed application has are listed too, so confirming never drops
// them. A window-modal dialog on the window that opened it.
class AppSelectionSheetController final : public QObject {
  Q_OBJECT

 public:
  using LoadApps = std::function<QList<ql::InstalledApplication>()>;
  // Drag types: from the all-applications list, and back from the chosen one.
  static const QString kPboardType;        // "MetaDataPBoardType"
  static const QString kChosenPboardType;

  AppSelectionSheetController(QWidget* parentWindow, LoadApps loadApps,
                              QObject* parent = nullptr);
  ~AppSelectionSheetController() override;

  AppSelectionSheetControllerDelegate* delegate = nullptr;

  void setSelectedAppViewTitle(const QString& title);
  void setExceptionType(int type) { exceptionType_ = type; }
  void setExceptions(const QStringList& names) { exceptions_ = names; }
  void setIsCancel(bool cancel) { isCancel_ = cancel; }
  bool isCancel() const { return isCancel_; }
  int exceptionType() const { return exceptionType_; }
  const QString& selectedAppViewTitle() const { return title_; }
  // The chosen entries in list order, and the names a rule stores.
  QList<AppEntry> selectedApps() const;
  QStringList selectedAppNames() const;

  // Builds both lists (from the applications and the exceptions) and
  // opens the dialog.
  void showSheet();

  // Actions.
  void sheetOk();
  void sheetClosed();
  void updateFilterAction();
  // Moves the selected entries of the all list to the chosen list, or
  // takes the selected chosen entries out of it.
  void addSelectedApps();
  void removeSelectedApps();
  void addApps(const QStringList& names);
  void removeApps(const QStringList& names);

  // Sort order of the lists: ignoring case, numbers by value.
  static int compareFiles(QStringView a, QStringView b);

  QDialog* window() const;
  AppSelectionListModel* allApps() const { return allApps_; }
  AppSelectionListModel* selectedAppsModel() const { return selectedApps_; }
  AppSelectionFilter* arrayAllApps() const { return arrayAllApps_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build(QWidget* parentWindow);
  void loadApps();
  void finish(bool cancelled);
  QStringList selectedNames(QListView* view) const;

  std::unique_ptr<Ui::AppSelectionSheet> ui_;
  LoadApps loadApps_;
  QString title_;
  int exceptionType_ = 0;
  QStringList exceptions_;
  bool isCancel_ = false;
  bool finished_ = false;

  QPointer<QDialog> window_;
  AppSelectionListModel* allApps_ = nullptr;
  AppSelectionListModel* selectedApps_ = nullptr;
  AppSelectionFilter* arrayAllApps_ = nullptr;
};
