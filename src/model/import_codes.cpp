#include "model/import_codes.h"

#include <vector>

namespace ql {

namespace {

struct Replacement {
  qsizetype position = 0;
  qsizetype length = 0;
  QString text;
};

// The NAME of "name=NAME" among the colon-separated arguments.
QString argumentName(const QString& arguments) {
  for (const QString& part : arguments.split(u':'))
    if (part.startsWith(QLatin1String("name="))) return part.mid(5);
  return QString();
}

QString keyCode(const QString& key) {
  const QString k = key.toLower();
  if (k == QLatin1String("tab") || k == QLatin1String("return") || k == QLatin1String("enter"))
    return QStringLiteral("{key:") + k + u'}';
  if (k == QLatin1String("esc") || k == QLatin1String("escape")) return QStringLiteral("{key:esc}");
  return QString();
}

QString fillCode(const QString& name) {
  // Quillet's fill-in code ends at the first "}".
  if (name.contains(u'}')) return QString();
  return QStringLiteral("{fill:") + name + u'}';
}

std::vector<Replacement> findCodes(const QString& s) {
  std::vector<Replacement> out;
  const QLatin1String clipboard("%clipboard");
  qsizetype i = 0;
  while ((i = s.indexOf(u'%', i)) >= 0) {
    if (i + 1 < s.size() && (s[i + 1] == u'%' || s[i + 1] == u'|')) {
      i += 2;  // "%%" is a percent sign, "%|" the cursor: the same in Quillet
      continue;
    }
    if (QStringView(s).mid(i).startsWith(clipboard)) {
      out.push_back({i, clipboard.size(), QStringLiteral("{clipboard}")});
      i += clipboard.size();
      continue;
    }
    // A code with arguments runs from "%word:" to the next "%".
    const qsizetype close = s.indexOf(u'%', i + 1);
    if (close < 0) break;
    const qsizetype inner = QStringView(s).mid(i, close - i).indexOf(u':');
    if (inner < 0) {
      i = close;
      continue;
    }
    const qsizetype colon = i + inner;
    const QString word = s.mid(i + 1, colon - i - 1);
    const QString arguments = s.mid(colon + 1, close - colon - 1);
    QString code;
    if (word == QLatin1String("fill")) {
      code = fillCode(arguments);
    } else if (word == QLatin1String("filltext") || word == QLatin1String("fillpopup") ||
               word == QLatin1String("fillarea")) {
      const QString name = argumentName(arguments);
      if (!name.isEmpty()) code = fillCode(name);
    } else if (word == QLatin1String("key")) {
      code = keyCode(arguments);
    }
    if (code.isEmpty()) {
      ++i;
      continue;
    }
    out.push_back({i, close + 1 - i, code});
    i = close + 1;
  }
  return out;
}

}  // namespace

QString convertTextExpanderCodes(const QString& text) {
  const std::vector<Replacement> codes = findCodes(text);
  if (codes.empty()) return text;
  QString out;
  out.reserve(text.size());
  qsizetype from = 0;
  for (const Replacement& r : codes) {
    out += QStringView(text).mid(from, r.position - from);
    out += r.text;
    from = r.position + r.length;
  }
  out += QStringView(text).mid(from);
  return out;
}

void convertTextExpanderCodes(AttributedText& text) {
  const std::vector<Replacement> codes = findCodes(text.string());
  // From the end, so earlier positions stay valid.
  for (auto it = codes.rbegin(); it != codes.rend(); ++it)
    text.replace(int(it->position), int(it->length), it->text);
}

}  // namespace ql
