// The pasteboard shortcuts of the simulated applications.
#include "platform/sim/sim_desktop.h"

#include "content/text/flat_rtfd.h"
#include "content/text/rtf_reader.h"
#include "content/text/rtf_writer.h"
#include "platform/pasteboard_types.h"

namespace ql::sim {

void SimDesktop::paste(qint64 processId) {
  SimApplication* app = applicationByProcessId(processId);
  if (!app || !app->hasTextField) return;
  const QStringList types = pasteboard_.types();
  // A rich field takes the richest flavour it can read, as text views do.
  if (app->field.acceptsRichText) {
    if (types.contains(pasteboard_types::Rtfd)) {
      if (const auto bytes = pasteboard_.fetch(pasteboard_types::Rtfd)) {
        if (const auto text = readFlatRtfd(*bytes)) {
          app->field.insert(*text);
          return;
        }
      }
    }
    if (types.contains(pasteboard_types::Rtf)) {
      if (const auto bytes = pasteboard_.fetch(pasteboard_types::Rtf)) {
        if (const auto text = readRtf(*bytes)) {
          app->field.insert(*text);
          return;
        }
      }
    }
  }
  for (const QString& type : {pasteboard_types::StringUtf8, pasteboard_types::String}) {
    if (!types.contains(type)) continue;
    if (const auto bytes = pasteboard_.fetch(type)) {
      app->field.insert(QString::fromUtf8(*bytes));
      return;
    }
  }
}

void SimDesktop::copy(SimApplication& app, bool cut) {
  // With nothing selected the shortcut does nothing, and the pasteboard keeps
  // what it had.
  if (app.field.selectionLength() == 0) return;
  const AttributedText selected = app.field.selectedText();
  pasteboard_.setContent({{pasteboard_types::String, selected.plainText(QString()).toUtf8()},
                          {pasteboard_types::Rtf, writeRtf(selected)}},
                         app.name);
  if (cut) app.field.insert(QString());
}

}  // namespace ql::sim
