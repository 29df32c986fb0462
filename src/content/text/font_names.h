#pragma once

#include <QString>

namespace ql {

// The Mac writes fonts by PostScript name ("Helvetica-Bold", "Menlo-Regular")
// and the style again as \b, \i. The family is the name without its style
// suffixes; the suffixes tell what the face implies.
struct FontFace {
  QString family;
  bool bold = false;
  bool italic = false;
};

FontFace fontFaceFromName(const QString& name);

}  // namespace ql
