// The application picker with 500 desktop entries in a temporary XDG data
// folder, on the offscreen platform. Targets: opened (entries read, lists
// built, dialog shown and painted) < 300 ms; a search keystroke < 20 ms.
#include "bench_main.h"
#include "platform/x11/desktop_entries.h"
#include "ui/app_selection_sheet_controller.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QStringList kWords = {"Text", "Image", "Sound", "Mail", "Chart", "Note", "Code", "Map",
                            "Photo", "Music", "Video", "Draw"};

struct Env {
  QTemporaryDir data;
  Env() {
    const QString apps = data.filePath(QStringLiteral("home/applications"));
    QDir().mkpath(apps);
    QDir().mkpath(data.filePath(QStringLiteral("system")));
    qputenv("XDG_DATA_HOME", data.filePath(QStringLiteral("home")).toUtf8());
    qputenv("XDG_DATA_DIRS", data.filePath(QStringLiteral("system")).toUtf8());
    for (int i = 0; i < 500; ++i) {
      QFile f(apps + QStringLiteral("/org.example.app%1.desktop").arg(i));
      f.open(QIODevice::WriteOnly);
      const QString word = kWords[i % kWords.size()];
      QString body = QStringLiteral(
                         "[Desktop Entry]\nType=Application\nName=%1 Tool %2\nGenericName=%1 Editor\n"
                         "Comment=Edits %1 files\nExec=app%2 %U\nIcon=accessories-text-editor\n"
                         "Terminal=false\nCategories=%3;Utility;\nMimeType=text/plain;\n")
                         .arg(word)
                         .arg(i)
                         .arg(i % 2 ? QStringLiteral("Qt") : QStringLiteral("GTK"));
      for (const char* l : {"de", "fr", "es", "it", "ja", "pt_BR", "ru", "zh_CN"})
        body += QStringLiteral("Name[%1]=%2 Werkzeug %3\nComment[%1]=Bearbeitet %2\n")
                    .arg(QLatin1String(l), word)
                    .arg(i);
      if (i % 5 == 0) body += QStringLiteral("StartupWMClass=App-%1\n").arg(i);
      body += QStringLiteral("\n[Desktop Action new]\nName=New Window\nExec=app%1 --new\n").arg(i);
      f.write(body.toUtf8());
    }
  }
};

Env& env() {
  static Env e;
  return e;
}

QList<ql::InstalledApplication> catalogue() { return ql::desktopApplications(); }

void BM_PickerOpened(benchmark::State& state) {
  env();
  QWidget parent;
  parent.show();
  qsizetype listed = 0;
  for (auto _ : state) {
    AppSelectionSheetController sheet(&parent, catalogue);
    sheet.setSelectedAppViewTitle(QStringLiteral("Expand in only these applications:"));
    sheet.setExceptions({QStringLiteral("App-10"), QStringLiteral("Gone")});
    sheet.showSheet();
    QCoreApplication::processEvents();
    sheet.window()->repaint();
    listed = sheet.allApps()->rowCount();
    state.PauseTiming();
    sheet.sheetClosed();
    state.ResumeTiming();
  }
  state.counters["listed"] = double(listed);
}
BENCHMARK(BM_PickerOpened)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SearchKeystroke(benchmark::State& state) {
  env();
  QWidget parent;
  parent.show();
  AppSelectionSheetController sheet(&parent, catalogue);
  sheet.showSheet();
  QCoreApplication::processEvents();
  const QStringList typed = {"t", "to", "too", "tool", "tool ", "tool 1", "tool 12", "tool 1",
                             "tool ", "tool", "too", "to"};
  auto* search = sheet.window()->findChild<QLineEdit*>(QStringLiteral("txtSearchField"));
  auto* list = sheet.window()->findChild<QAbstractItemView*>(QStringLiteral("allAppsTableView"));
  int i = 0;
  for (auto _ : state) {
    search->setText(typed[++i % typed.size()]);
    QCoreApplication::processEvents();
    list->viewport()->repaint();
  }
}
BENCHMARK(BM_SearchKeystroke)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  return runBenchmarks<QApplication>(argc, argv);
}
