// text: converts rich text between the forms Quillet reads and writes.
#include "cmd_text.h"

#include "content/text/flat_rtfd.h"
#include "content/text/html_export.h"
#include "content/text/rtf_reader.h"
#include "content/text/rtf_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

const char* kTextUsage =
    "usage: quillet-tool text FILE --to plain|rtf|rtfd|html\n"
    "FILE is RTF, flat RTFD or an RTFD folder. RTF output embeds PNG and JPEG\n"
    "attachments as pictures; RTFD keeps every attachment.\n";

void error(const QString& line) {
  std::fputs(("quillet-tool: " + line + u'\n').toLocal8Bit().constData(), stderr);
}

std::optional<QByteArray> readAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    error(QStringLiteral("cannot read %1: %2").arg(path, f.errorString()));
    return std::nullopt;
  }
  return f.readAll();
}

// An RTFD package on disk: TXT.rtf beside the attachment files.
std::optional<ql::AttributedText> readPackage(const QString& path) {
  const auto rtf = readAll(QDir(path).filePath(QStringLiteral("TXT.rtf")));
  if (!rtf) return std::nullopt;
  std::optional<ql::AttributedText> text = ql::readRtf(*rtf);
  if (!text) return std::nullopt;
  std::vector<std::pair<int, QByteArray>> fills;
  for (const auto& r : text->runs()) {
    if (!r.attributes.attachment) continue;
    const QString name = r.attributes.attachment->fileName;
    if (name.contains(u'/') || name == QLatin1String("..")) continue;
    QFile f(QDir(path).filePath(name));
    if (!f.open(QIODevice::ReadOnly)) continue;
    const QByteArray bytes = f.readAll();
    for (int i = 0; i < r.length; ++i) fills.emplace_back(r.start + i, bytes);
  }
  for (const auto& fill : fills)
    text->modifyAttributes(fill.first, 1,
                           [&](ql::TextAttributes& a) { a.attachment->contents = fill.second; });
  return text;
}

}  // namespace

int runTextCommand(const QStringList& args) {
  QString path;
  QString form;
  for (qsizetype i = 0; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--to") && i + 1 < args.size()) {
      form = args[++i];
    } else if (args[i].startsWith(QLatin1String("--to="))) {
      form = args[i].mid(5);
    } else if (path.isEmpty()) {
      path = args[i];
    } else {
      form.clear();
      break;
    }
  }
  static const QStringList forms = {QStringLiteral("plain"), QStringLiteral("rtf"),
                                    QStringLiteral("rtfd"), QStringLiteral("html")};
  if (path.isEmpty() || !forms.contains(form)) {
    std::fputs(kTextUsage, stderr);
    return 2;
  }

  std::optional<ql::AttributedText> text;
  if (QFileInfo(path).isDir()) {
    text = readPackage(path);
  } else {
    const auto bytes = readAll(path);
    if (!bytes) return 1;
    text = ql::isFlatRtfd(*bytes) ? ql::readFlatRtfd(*bytes) : ql::readRtf(*bytes);
  }
  if (!text) {
    error(QStringLiteral("%1 is neither RTF nor flat RTFD that can be read").arg(path));
    return 1;
  }

  QByteArray out;
  if (form == QLatin1String("plain")) {
    out = text->plainText(QStringLiteral("(...attachment...)")).toUtf8();
  } else if (form == QLatin1String("rtf")) {
    out = ql::writeRtf(*text, ql::RtfAttachments::Pictures);  // a file of its own: no RTFD around it
  } else if (form == QLatin1String("rtfd")) {
    out = ql::writeFlatRtfd(*text);
  } else {
    out = ql::htmlFragment(*text).toUtf8();
  }
  std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
  std::fflush(stdout);
  return 0;
}
