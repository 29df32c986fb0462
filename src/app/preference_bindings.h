#pragma once

#include "model/ql_preferences.h"

#include <QString>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QObject;

// Ties controls to fields of the preferences record, one kind of control per
// kind of field: load() shows every field, and a user's change stores its
// field at once and calls the change's listener. A preference is then one
// line where the window wires it, instead of four (create, connect, load,
// store) that can drift apart.
class PreferenceBindings final {
 public:
  // The record a change is stored into; null while there is none or while
  // the window is being filled, and then a change stores nothing.
  using Record = std::function<QLPreferences*()>;
  using Changed = std::function<void()>;

  PreferenceBindings(QObject* context, Record record);

  // A check box for a flag.
  void flag(QCheckBox* box, bool QLPreferences::*field, Changed changed);
  // A pop-up whose item number is the stored number. A stored number the
  // pop-up does not offer shows its first item; the record keeps the number
  // until the user picks one.
  void index(QComboBox* box, int QLPreferences::*field, Changed changed);
  // A pop-up whose item title is the stored text.
  void title(QComboBox* box, QString QLPreferences::*field, Changed changed);
  // A pop-up of counts stored as text. A count the pop-up does not offer
  // (edited by hand, or another version's) is shown in its place rather than
  // hidden behind the first item; only a positive count is stored.
  void count(QComboBox* box, QString QLPreferences::*field, Changed changed);
  // A spin box for seconds, stored within the box's range.
  void seconds(QDoubleSpinBox* box, double QLPreferences::*field, Changed changed);

  // Shows every bound field of record.
  void load(const QLPreferences& record) const;

 private:
  QObject* context_;
  Record record_;
  std::vector<std::function<void(const QLPreferences&)>> loaders_;
};
