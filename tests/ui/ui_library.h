#pragma once

// Libraries built for the window tests, and the settings file they save to.
#include "model/background_writer.h"
#include "model/ql_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
  auto g = std::make_shared<QLGroup>();
  g->name = name;
  g->isExpanded = false;
  for (const SnippetPtr& s : members) {
    s->groupUuid = g->uuid;
    g->snippts.append(s->uuid);
    library.snippets.append(s);
  }
  library.groups.append(g);
  return g;
}

// What is on disk once the saves handed to the background writer are done.
inline QByteArray savedFile() {
  ql::BackgroundWriter::instance().waitForIdle();
  QFile f(QLSettings::settingsPath());
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void removeSavedFile() {
  QFile::remove(QLSettings::settingsPath());
  QDir().mkpath(QFileInfo(QLSettings::settingsPath()).path());
}

}  // namespace uitest
