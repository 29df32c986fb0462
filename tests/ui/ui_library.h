#pragma once

// Libraries built for the window tests, and the settings file they save to.
#include "model/background_writer.h"
#include "model/ql_settings.h"
#include "support/library_records.h"
#include "support/test_files.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

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

inline void removeSavedFile() {
  QFile::remove(QLSettings::settingsPath());
  QDir().mkpath(QFileInfo(QLSettings::settingsPath()).path());
}

}  // namespace uitest
