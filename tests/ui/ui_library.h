#pragma once

// Libraries built for the window tests, the settings file they save to, and
// a library window over such a library with its questions answered.
#include "model/background_writer.h"
#include "model/ql_settings.h"
#include "support/library_records.h"
#include "support/test_files.h"
#include "ui/content_text_view.h"
#include "ui/library_outline_model.h"
#include "ui/library_window_controller.h"
#include "ui/snippet_view_controller.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMainWindow>
#include <QTest>

#include <gtest/gtest.h>

namespace uitest {

inline SnippetPtr snippet(const QString& label, const QString& abbreviation, const QString& text) {
  auto s = std::make_shared<QLSnippet>();
  s->label = label;
  s->abbreviation = abbreviation;
  s->plainText = text;
  s->content(true);
  return s;
}

inline GroupPtr group(QLSettings& library, const QString& name, const QList<SnippetPtr>& members) {
  GroupPtr g = test::addGroup(library, name);
  g->isExpanded = false;
  for (const SnippetPtr& s : members) {
    s->groupUuid = g->uuid;
    g->snippts.append(s->uuid);
    library.snippets.append(s);
  }
  return g;
}

// An image file of one colour, in the given format.
inline QByteArray imageBytes(int width, int height, const char* format) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

// What is on disk once the saves handed to the background writer are done.
inline QByteArray savedFile() {
  ql::BackgroundWriter::instance().waitForIdle();
  return test::readFile(QLSettings::settingsPath());
}

// The text view of a snippet editor.
inline ContentTextView* contentOf(QObject* editor) { return editor->findChild<ContentTextView*>("content"); }

// The library window over `library`, saved first; questions are recorded
// and answered with `answer`, alerts recorded.
class LibraryWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    QFile::remove(QLSettings::settingsPath());
    QDir().mkpath(QFileInfo(QLSettings::settingsPath()).path());
  }

  // Selecting a snippet opens its group, which is saved; libraries opened
  // expanded change the file only through the commands.
  void open(bool expanded = false) {
    if (expanded)
      for (const GroupPtr& g : library.groups) g->isExpanded = true;
    library.saveSettings();
    window = std::make_unique<LibraryWindowController>(&library, nullptr);
    tester = std::make_unique<QAbstractItemModelTester>(window->model(),
                                                         QAbstractItemModelTester::FailureReportingMode::Fatal);
    window->confirm = [this](const QString& m, const QString& d, const QString& a, const QString& b) {
      questions << m + "|" + d + "|" + a + "|" + b;
      return answer;
    };
    window->showAlert = [this](const QString& m, const QString& d) { alerts << m + "|" + d; };
    window->resetView();
  }

  void select(const GroupPtr& g, const SnippetPtr& s = nullptr) {
    if (s)
      window->selectSnippet(g.get(), s.get());
    else
      window->selectGroup(g.get());
  }
  ContentTextView* content() const { return contentOf(window->snippetView()); }

  QLSettings library;
  std::unique_ptr<LibraryWindowController> window;
  std::unique_ptr<QAbstractItemModelTester> tester;
  QStringList questions;
  QStringList alerts;
  int answer = 1;
};

}  // namespace uitest
