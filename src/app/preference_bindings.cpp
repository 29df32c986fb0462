#include "app/preference_bindings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>

#include <algorithm>

PreferenceBindings::PreferenceBindings(QObject* context, Record record)
    : context_(context), record_(std::move(record)) {}

// Only the user's own gestures (clicked, activated) store: filling the window
// sets the controls without a word to the listener. A spin box has no such
// signal, so the record's absence while filling guards it.

void PreferenceBindings::flag(QCheckBox* box, bool QLPreferences::*field, Changed changed) {
  loaders_.push_back([box, field](const QLPreferences& p) { box->setChecked(p.*field); });
  QObject::connect(box, &QCheckBox::clicked, context_, [record = record_, box, field, changed] {
    QLPreferences* p = record();
    if (!p) return;
    p->*field = box->isChecked();
    changed();
  });
}

void PreferenceBindings::index(QComboBox* box, int QLPreferences::*field, Changed changed) {
  loaders_.push_back([box, field](const QLPreferences& p) {
    const int value = p.*field;
    box->setCurrentIndex(value >= 0 && value < box->count() ? value : 0);
  });
  QObject::connect(box, &QComboBox::activated, context_, [record = record_, field, changed](int item) {
    QLPreferences* p = record();
    if (!p || item < 0) return;
    p->*field = item;
    changed();
  });
}

void PreferenceBindings::title(QComboBox* box, QString QLPreferences::*field, Changed changed) {
  loaders_.push_back([box, field](const QLPreferences& p) { box->setCurrentIndex(std::max(0, box->findText(p.*field))); });
  QObject::connect(box, &QComboBox::activated, context_, [record = record_, box, field, changed] {
    QLPreferences* p = record();
    if (!p || box->currentIndex() < 0) return;
    p->*field = box->currentText();
    changed();
  });
}

void PreferenceBindings::count(QComboBox* box, QString QLPreferences::*field, Changed changed) {
  loaders_.push_back([box, field](const QLPreferences& p) {
    int item = box->findText(p.*field);
    bool ok = false;
    const int number = (p.*field).toInt(&ok);
    if (item < 0 && ok && number > 0) {
      item = 0;
      while (item < box->count() && box->itemText(item).toInt() < number) ++item;
      box->insertItem(item, QString::number(number));
    }
    box->setCurrentIndex(std::max(0, item));
  });
  QObject::connect(box, &QComboBox::activated, context_, [record = record_, box, field, changed] {
    QLPreferences* p = record();
    bool ok = false;
    const int number = box->currentText().toInt(&ok);
    if (!p || !ok || number <= 0) return;
    p->*field = QString::number(number);
    changed();
  });
}

void PreferenceBindings::seconds(QDoubleSpinBox* box, double QLPreferences::*field, Changed changed) {
  loaders_.push_back([box, field](const QLPreferences& p) { box->setValue(p.*field); });
  QObject::connect(box, &QDoubleSpinBox::valueChanged, context_, [record = record_, box, field, changed](double value) {
    QLPreferences* p = record();
    if (!p) return;
    p->*field = std::clamp(value, box->minimum(), box->maximum());
    changed();
  });
}

void PreferenceBindings::load(const QLPreferences& record) const {
  for (const auto& load : loaders_) load(record);
}
