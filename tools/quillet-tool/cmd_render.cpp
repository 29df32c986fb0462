// render: what a snippet expands to, as JSON.
#include "commands.h"

#include "content/fill_in_form.h"
#include "content/string_helper.h"
#include "content/text/flat_rtfd.h"
#include "model/ql_settings.h"
#include "platform/pasteboard.h"
#include "platform/pasteboard_types.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

namespace tool {
namespace {

// A clipboard holding one text, for the clipboard code.
class TextClipboard final : public ql::Pasteboard {
 public:
  explicit TextClipboard(const QString& text) : text_(text) {}
  QStringList types() const override {
    return text_.isEmpty() ? QStringList() : QStringList{ql::pasteboard_types::String};
  }
  std::optional<QByteArray> data(const QString& type) const override {
    if (type != ql::pasteboard_types::String || text_.isEmpty()) return std::nullopt;
    return text_.toUtf8();
  }
  void clear() override {}
  bool write(const QList<ql::PasteboardItem>&) override { return false; }
  quint64 changeCount() const override { return 0; }
  int fetchCount() const override { return 0; }

 private:
  QString text_;
};

QJsonArray occurrences(const QList<ql::CodeOccurrence>& list) {
  QJsonArray a;
  for (const ql::CodeOccurrence& o : list)
    a.append(QJsonObject{{"tag", o.tag}, {"location", o.location}, {"length", o.length}});
  return a;
}

QString partText(const ql::SnippetContent& c) {
  if (!c.isRtfd) return c.text;
  const auto t = ql::readFlatRtfd(c.rtfd);
  return ql::helper::plainTextFromRTFD(t ? &*t : nullptr, std::nullopt, false);
}

}  // namespace

int runRender(const QStringList& argsIn) {
  const QString usage = QStringLiteral(
      "usage: quillet-tool render FILE ABBREVIATION [--case N] [--clipboard TEXT] [--fill NAME=VALUE ...]");
  QStringList args = argsIn;
  int caseMode = 0;
  QString clipboard;
  QMap<QString, QString> fillValues;  // by lower-case name
  QStringList positional;
  while (!args.isEmpty()) {
    const QString a = args.takeFirst();
    if ((a == QLatin1String("--case") || a == QLatin1String("--clipboard") || a == QLatin1String("--fill")) &&
        args.isEmpty()) {
      printErr(usage);
      return 2;
    }
    if (a == QLatin1String("--case")) {
      bool ok = false;
      caseMode = args.takeFirst().toInt(&ok);
      if (!ok) {
        printErr(QStringLiteral("--case takes a number"));
        return 2;
      }
    } else if (a == QLatin1String("--clipboard")) {
      clipboard = args.takeFirst();
    } else if (a == QLatin1String("--fill")) {
      const QString pair = args.takeFirst();
      const qsizetype eq = pair.indexOf(QLatin1Char('='));
      if (eq < 0) {
        printErr(QStringLiteral("--fill takes NAME=VALUE"));
        return 2;
      }
      fillValues.insert(pair.left(eq).toLower(), pair.mid(eq + 1));
    } else {
      positional.append(a);
    }
  }
  if (positional.size() != 2) {
    printErr(usage);
    return 2;
  }
  QLSettings settings;
  if (!loadLibrary(positional[0], settings)) return 1;
  const SnippetPtr snippet = settings.getSnippetByAbbreviation(positional[1]);
  if (!snippet) {
    printErr(QStringLiteral("no snippet with that abbreviation"));
    return 1;
  }
  TextClipboard pasteboard(clipboard);
  ql::FillInForm form;
  int contentLength = 0;
  const auto content = snippet->processSnippet(caseMode, &form.keys, &form.fills, &contentLength, &pasteboard);
  if (!content) {
    printErr(QStringLiteral("the snippet has nothing to expand"));
    return 1;
  }
  form.data = *content;
  if (!form.fills.isEmpty()) {
    // As the form's OK does: unchanged entries keep the field's name.
    form.resetView();
    for (int i = 0; i < form.formFields.size(); ++i) {
      const QString name = form.formFields[i].name().toLower();
      if (fillValues.contains(name)) form.setFieldValue(i, fillValues.value(name));
    }
    contentLength = form.confirm();
  }
  QJsonArray parts;
  for (const ql::SnippetPart& p : QLSnippet::snippetParts(form.data))
    parts.append(QJsonObject{{"index", p.index}, {"data", partText(p.data)}, {"key", p.key}, {"cursor", p.cursor}});
  const QJsonObject out{{"contentLength", contentLength},
                        {"keys", occurrences(form.keys)},
                        {"fills", occurrences(form.fills)},
                        {"parts", parts}};
  std::fputs(QJsonDocument(out).toJson(QJsonDocument::Indented).constData(), stdout);
  return 0;
}

}  // namespace tool
