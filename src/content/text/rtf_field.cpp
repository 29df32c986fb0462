#include "content/text/rtf_field.h"

namespace ql {

QString hyperlinkTarget(const QString& instruction) {
  const QString inst = instruction.trimmed();
  static const QString kHyperlink = QStringLiteral("HYPERLINK");
  if (!inst.startsWith(kHyperlink, Qt::CaseInsensitive)) return {};
  qsizetype i = kHyperlink.size();
  QString url;
  QString anchor;
  bool nextIsAnchor = false;
  bool nextIsArgument = false;
  while (i < inst.size()) {
    while (i < inst.size() && inst.at(i).isSpace()) ++i;
    if (i >= inst.size()) break;
    QString token;
    const bool quoted = inst.at(i) == u'"';
    if (quoted) {
      for (++i; i < inst.size() && inst.at(i) != u'"'; ++i) {
        const bool escaped = inst.at(i) == u'\\' && i + 1 < inst.size() &&
                             (inst.at(i + 1) == u'"' || inst.at(i + 1) == u'\\');
        if (escaped) ++i;
        token += inst.at(i);
      }
      ++i;
    } else {
      const qsizetype start = i;
      while (i < inst.size() && !inst.at(i).isSpace() && inst.at(i) != u'"') ++i;
      token = inst.mid(start, i - start);
    }
    if (!quoted && token.startsWith(u'\\')) {
      nextIsAnchor = token.compare(QStringLiteral("\\l"), Qt::CaseInsensitive) == 0;
      nextIsArgument = !nextIsAnchor && token.size() == 2 &&
                       QStringLiteral("otn").contains(token.at(1).toLower());
      continue;
    }
    if (nextIsAnchor) {
      anchor = token;
    } else if (!nextIsArgument && url.isEmpty()) {
      url = token;
    }
    nextIsAnchor = nextIsArgument = false;
  }
  if (!anchor.isEmpty()) url += u'#' + anchor;
  return url;
}

}  // namespace ql
