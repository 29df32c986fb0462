#pragma once

#include <QLocale>
#include <QTranslator>

namespace ql {

// The program's texts in the user's language, and Qt's own (the standard
// buttons, the file dialogs) to match. Both stay installed while this lives.
// Needs a QCoreApplication.
class Translations final {
 public:
  Translations() = default;
  Translations(const Translations&) = delete;
  Translations& operator=(const Translations&) = delete;

  // False when Quillet has no translation for the locale's languages: the
  // texts stay English, and so do Qt's, so a window never mixes two languages.
  bool load(const QLocale& locale);

 private:
  QTranslator own_;
  QTranslator qt_;
};

}  // namespace ql
