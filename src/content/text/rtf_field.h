#pragma once

#include <QString>

namespace ql {

// The target of a field instruction HYPERLINK "url" [\l "anchor"] [\o "tip"]:
// the URL, "#anchor" for a link into the document, or "" for any other
// field. Inside quotes, \" and \\ stand for a quote and a backslash.
QString hyperlinkTarget(const QString& instruction);

}  // namespace ql
