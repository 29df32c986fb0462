#pragma once

#include <QList>
#include <QString>

class QuilletAppDelegate;

// The commands `quillet --action NAME` hands to the running Quillet: the
// hot-key actions, so a desktop's own key bindings can drive it where no
// program may grab keys (Wayland).
namespace quillet_actions {

struct Action {
  QString name;
  const char* description;  // English; --help shows it translated
};

const QList<Action>& all();
bool isKnown(const QString& name);
// Carries the action out on the running controller; false for an unknown name.
bool run(QuilletAppDelegate& controller, const QString& name);
// The usage text of `quillet --help`.
QString helpText();

}  // namespace quillet_actions
