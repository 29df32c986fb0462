#include "content/text/font_names.h"

#include <QStringList>

namespace ql {

namespace {

// Style words that end PostScript names, longest first so that
// "BoldItalic" is not read as "Italic" after an unknown prefix.
const QStringList& styleWords() {
  static const QStringList words = {
      QStringLiteral("SemiboldItalic"), QStringLiteral("BoldOblique"),
      QStringLiteral("BoldItalic"),     QStringLiteral("LightItalic"),
      QStringLiteral("MediumItalic"),   QStringLiteral("Semibold"),
      QStringLiteral("Oblique"),        QStringLiteral("Regular"),
      QStringLiteral("Italic"),         QStringLiteral("Medium"),
      QStringLiteral("BoldIt"),         QStringLiteral("Light"),
      QStringLiteral("Black"),          QStringLiteral("Heavy"),
      QStringLiteral("Roman"),          QStringLiteral("Bold"),
      QStringLiteral("Book"),           QStringLiteral("Thin"),
      QStringLiteral("It"),
  };
  return words;
}

}  // namespace

FontFace fontFaceFromName(const QString& name) {
  FontFace face;
  QString family = name.trimmed();
  for (;;) {
    const qsizetype dash = family.lastIndexOf(u'-');
    if (dash <= 0) break;
    const QString suffix = family.mid(dash + 1);
    if (!styleWords().contains(suffix, Qt::CaseInsensitive)) break;
    if (suffix.contains(QStringLiteral("Bold"), Qt::CaseInsensitive) ||
        suffix.compare(QStringLiteral("Black"), Qt::CaseInsensitive) == 0 ||
        suffix.compare(QStringLiteral("Heavy"), Qt::CaseInsensitive) == 0)
      face.bold = true;
    if (suffix.contains(QStringLiteral("Italic"), Qt::CaseInsensitive) ||
        suffix.contains(QStringLiteral("Oblique"), Qt::CaseInsensitive) ||
        suffix.endsWith(QStringLiteral("It"), Qt::CaseInsensitive))
      face.italic = true;
    family.truncate(dash);
    family = family.trimmed();
  }
  face.family = family;
  return face;
}

}  // namespace ql
