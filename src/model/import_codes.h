#pragma once

#include "content/text/attributed_text.h"

#include <QString>

namespace ql {

// Rewrites TextExpander's own content codes into Quillet's: "%clipboard" to
// "{clipboard}", "%fill:NAME%", "%filltext:name=NAME...%", "%fillpopup:..."
// and "%fillarea:..." to "{fill:NAME}", "%key:tab%", "%key:return%",
// "%key:enter%" and "%key:esc%" to "{key:...}". Date codes and "%|" are the
// same in both; codes Quillet has no counterpart for stay as they are.
QString convertTextExpanderCodes(const QString& text);
// The same on formatted text; each new code takes the formatting of the
// first character of the code it replaces.
void convertTextExpanderCodes(AttributedText& text);

}  // namespace ql
