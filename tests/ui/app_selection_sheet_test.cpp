// The application picker: both lists, the search, moving entries by double
// click, Return and drag and drop, and the names it hands back.
#include "ui/app_selection_sheet_controller.h"

#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList shown(const QAbstractItemModel* model) {
  QStringList out;
  for (int r = 0; r < model->rowCount(); ++r) out << model->index(r, 0).data().toString();
  return out;
}

class PickerTest : public testing::Test, public AppSelectionSheetControllerDelegate {
 protected:
  void open(const QStringList& exceptions = {}) {
    sheet = std::make_unique<AppSelectionSheetController>(&parent, [this] { return installed; });
    sheet->delegate = this;
    sheet->setExceptionType(3);
    sheet->setExceptions(exceptions);
    parent.show();
    sheet->showSheet();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet->window()));
  }

  void AppSelectionSheetControllerDidFinish(AppSelectionSheetController* s) override {
    finished << (s->isCancel() ? QStringLiteral("cancel") : s->selectedAppNames().join(u','));
  }

  QModelIndex allRow(const QString& name) const {
    return sheet->arrayAllApps()->mapFromSource(sheet->allApps()->index(sheet->allApps()->rowOf(name)));
  }

  void doubleClick(QListView* view, const QModelIndex& index) {
    // Rows just added are laid out on the next pass of the event loop.
    QCoreApplication::processEvents();
    view->scrollTo(index);
    view->setCurrentIndex(index);
    const QPoint at = view->visualRect(index).center();
    // As a mouse sends it: a click, then the second press as a double click.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
  }

  // A drop as the view gets it from a drag: enter, move, drop.
  bool drop(QListView* view, const QMimeData* data) {
    const QPoint at = view->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, {});
    QApplication::sendEvent(view->viewport(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction, data, Qt::LeftButton, {});
    QApplication::sendEvent(view->viewport(), &move);
    if (!move.isAccepted()) {
      QDragLeaveEvent leave;
      QApplication::sendEvent(view->viewport(), &leave);
      return false;
    }
    QDropEvent dropped(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, {});
    QApplication::sendEvent(view->viewport(), &dropped);
    return dropped.isAccepted();
  }

  QList<ql::InstalledApplication> installed{
      {"Gedit", "/usr/share/applications/org.gnome.gedit.desktop", "org.gnome.gedit", "Text Editor"},
      {"XTerm", "/usr/share/applications/debian-xterm.desktop", "mini.xterm", "XTerm"},
      {"App10", "", "", "Tool 10"},
      {"App2", "", "", "Tool 2"},
      {"Cafe", "", "", "Caf\u00e9 Bar"},
  };
  QWidget parent;
  std::unique_ptr<AppSelectionSheetController> sheet;
  QStringList finished;
};

TEST_F(PickerTest, ListsEveryApplicationAndKeepsStoredNamesNoApplicationHas) {
  open({"XTerm", "Retired Tool", "XTerm"});
  // Human names with the stored name beside them when they differ, numbers by value.
  EXPECT_EQ(shown(sheet->arrayAllApps()),
            (QStringList{"Caf\u00e9 Bar (Cafe)", "Retired Tool", "Text Editor (Gedit)",
                         "Tool 2 (App2)", "Tool 10 (App10)", "XTerm"}));
  // The stored list comes back as it was, the unknown name included, once.
  EXPECT_EQ(shown(sheet->selectedAppsModel()), (QStringList{"XTerm", "Retired Tool"}));
  sheet->sheetOk();
  EXPECT_EQ(finished, QStringList{"XTerm,Retired Tool"});
  EXPECT_FALSE(sheet->window()->isVisible());
  // Told once, whatever comes after.
  sheet->sheetClosed();
  EXPECT_EQ(finished.size(), 1);
}

TEST_F(PickerTest, SearchNarrowsTheApplicationsIgnoringCaseAndAccents) {
  open();
  QTest::keyClicks(sheet->window()->findChild<QLineEdit*>("txtSearchField"), QStringLiteral("EDIT"));
  EXPECT_EQ(shown(sheet->arrayAllApps()), QStringList{"Text Editor (Gedit)"});
  sheet->window()->findChild<QLineEdit*>("txtSearchField")->setText(QStringLiteral("cafe b"));
  EXPECT_EQ(shown(sheet->arrayAllApps()), QStringList{"Caf\u00e9 Bar (Cafe)"});
  // The stored name is searched too.
  sheet->window()->findChild<QLineEdit*>("txtSearchField")->setText(QStringLiteral("app1"));
  EXPECT_EQ(shown(sheet->arrayAllApps()), QStringList{"Tool 10 (App10)"});
}

TEST_F(PickerTest, DoubleClickReturnAndDragMoveEntriesBetweenTheLists) {
  open();
  QListView* all = sheet->window()->findChild<QListView*>("allAppsTableView");
  QListView* chosen = sheet->window()->findChild<QListView*>("selectedAppsTableView");
  // A filtered row is the one moved, not the row at the same place unfiltered.
  sheet->window()->findChild<QLineEdit*>("txtSearchField")->setText(QStringLiteral("xterm"));
  doubleClick(all, sheet->arrayAllApps()->index(0, 0));
  doubleClick(all, sheet->arrayAllApps()->index(0, 0));
  EXPECT_EQ(sheet->selectedAppNames(), QStringList{"XTerm"});
  sheet->window()->findChild<QLineEdit*>("txtSearchField")->clear();

  all->setCurrentIndex(allRow("Gedit"));
  QTest::keyClick(all, Qt::Key_Return);
  EXPECT_EQ(sheet->selectedAppNames(), (QStringList{"XTerm", "Gedit"}));

  // Dragged from the left list, dropped on the right one; two at once.
  all->selectionModel()->clear();
  all->selectionModel()->select(allRow("App2"), QItemSelectionModel::Select);
  all->selectionModel()->select(allRow("Cafe"), QItemSelectionModel::Select);
  std::unique_ptr<QMimeData> fromAll(
      sheet->arrayAllApps()->mimeData(all->selectionModel()->selectedIndexes()));
  ASSERT_TRUE(fromAll && fromAll->hasFormat(AppSelectionSheetController::kPboardType));
  // Dropped back where it came from, it does nothing.
  EXPECT_FALSE(drop(all, fromAll.get()));
  EXPECT_TRUE(drop(chosen, fromAll.get()));
  EXPECT_EQ(sheet->selectedAppNames(), (QStringList{"XTerm", "Gedit", "Cafe", "App2"}));
  // Names no list offers are not taken from a drop.
  QMimeData forged;
  forged.setData(AppSelectionSheetController::kPboardType, "Intruder\nXTerm");
  drop(chosen, &forged);
  EXPECT_EQ(sheet->selectedAppNames().size(), 4);

  // Out again: a double click, Delete, or a drag back to the left.
  doubleClick(chosen, sheet->selectedAppsModel()->index(0, 0));
  EXPECT_EQ(sheet->selectedAppNames(), (QStringList{"Gedit", "Cafe", "App2"}));
  chosen->setCurrentIndex(sheet->selectedAppsModel()->index(0, 0));
  QTest::keyClick(chosen, Qt::Key_Delete);
  EXPECT_EQ(sheet->selectedAppNames(), (QStringList{"Cafe", "App2"}));
  std::unique_ptr<QMimeData> fromChosen(
      sheet->selectedAppsModel()->mimeData({sheet->selectedAppsModel()->index(1, 0)}));
  EXPECT_TRUE(drop(all, fromChosen.get()));
  EXPECT_EQ(sheet->selectedAppNames(), QStringList{"Cafe"});

  QTest::keyClick(sheet->window(), Qt::Key_Escape);
  EXPECT_EQ(finished, QStringList{"cancel"});
  EXPECT_TRUE(sheet->isCancel());
}

}  // namespace
