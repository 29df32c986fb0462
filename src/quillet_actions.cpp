#include "quillet_actions.h"

#include "app/quillet_app_delegate.h"

#include <QCoreApplication>
#include <QTimer>

namespace quillet_actions {

const QList<Action>& all() {
  static const QList<Action> actions = {
      {QStringLiteral("toggle"), QT_TRANSLATE_NOOP("QuilletActions", "switch expansion on or off")},
      {QStringLiteral("enable"), QT_TRANSLATE_NOOP("QuilletActions", "switch expansion on")},
      {QStringLiteral("disable"), QT_TRANSLATE_NOOP("QuilletActions", "switch expansion off")},
      {QStringLiteral("suggest"), QT_TRANSLATE_NOOP("QuilletActions", "show the suggestion list")},
      {QStringLiteral("search"), QT_TRANSLATE_NOOP("QuilletActions", "open the search window")},
      {QStringLiteral("new-snippet"), QT_TRANSLATE_NOOP("QuilletActions", "open an empty new snippet")},
      {QStringLiteral("new-snippet-from-selection"),
       QT_TRANSLATE_NOOP("QuilletActions", "make a snippet of the text selected in the application in front")},
      {QStringLiteral("new-snippet-from-clipboard"), QT_TRANSLATE_NOOP("QuilletActions", "make a snippet of the clipboard")},
      {QStringLiteral("new-snippet-for-application"),
       QT_TRANSLATE_NOOP("QuilletActions", "make a snippet for the application in front")},
      {QStringLiteral("backup-now"), QT_TRANSLATE_NOOP("QuilletActions", "write a backup of the library now")},
      {QStringLiteral("open"), QT_TRANSLATE_NOOP("QuilletActions", "show or hide the library window")},
      {QStringLiteral("quit"), QT_TRANSLATE_NOOP("QuilletActions", "quit Quillet")},
  };
  return actions;
}

bool isKnown(const QString& name) {
  for (const Action& a : all())
    if (a.name == name) return true;
  return false;
}

bool run(QuilletAppDelegate& c, const QString& name) {
  if (name == QLatin1String("toggle")) {
    c.actionDisableQuillet();
  } else if (name == QLatin1String("enable")) {
    if (!c.isQLEnabled) c.actionDisableQuillet();
  } else if (name == QLatin1String("disable")) {
    if (c.isQLEnabled) c.actionDisableQuillet();
  } else if (name == QLatin1String("suggest")) {
    c.processSuggestionsHotKey(ql::KeyEvent{});
  } else if (name == QLatin1String("search")) {
    c.processSearchSnippetHotKey();
  } else if (name == QLatin1String("new-snippet")) {
    c.processNewSnippetHotKey();
  } else if (name == QLatin1String("new-snippet-from-selection")) {
    c.processNewSnippetFromSelectionHotKey();
  } else if (name == QLatin1String("new-snippet-from-clipboard")) {
    c.processNewSnippetFromClipboardHotKey();
  } else if (name == QLatin1String("new-snippet-for-application")) {
    c.processNewSnippetFromApplicationHotKey();
  } else if (name == QLatin1String("backup-now")) {
    c.actionBackup();
  } else if (name == QLatin1String("open")) {
    c.processOpenQuilletHotKey();
  } else if (name == QLatin1String("quit")) {
    // After the answer is on its way.
    QTimer::singleShot(0, qApp, [&c] { c.actionQuit(); });
  } else {
    return false;
  }
  return true;
}

QString helpText() {
  QString text = QCoreApplication::translate(
      "QuilletActions",
      "Usage: quillet [--action NAME]\n"
      "\n"
      "Without options, starts Quillet (or shows the library window of the one running).\n"
      "\n"
      "  --action NAME  hands NAME to the running Quillet and waits until it is done;\n"
      "                 bind these to keys in the desktop's keyboard settings\n"
      "                 (sway: bindsym Ctrl+Alt+s exec quillet --action search)\n"
      "  --help         shows this text\n"
      "\n"
      "Actions:\n");
  for (const Action& a : all())
    text += QStringLiteral("  %1%2\n").arg(a.name, -30).arg(QCoreApplication::translate("QuilletActions", a.description));
  text += QCoreApplication::translate(
      "QuilletActions",
      "\n"
      "Environment:\n"
      "  QUILLET_PLATFORM=x11|wayland  the desktop services to use (default: wayland when\n"
      "                                WAYLAND_DISPLAY is set, else x11)\n"
      "  QUILLET_INPUT_EVENTS=PATH     on Wayland, read raw kernel input events from the\n"
      "                                FIFO at PATH instead of /dev/input\n");
  return text;
}

}  // namespace quillet_actions
