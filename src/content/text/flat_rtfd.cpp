#include "content/text/flat_rtfd.h"

#include "content/text/file_wrapper.h"
#include "content/text/rtf_reader.h"
#include "content/text/rtf_writer.h"

#include <QHash>
#include <QSet>
#include <QtEndian>

#include <tuple>

namespace ql {

namespace {

const QString kTextFile = QStringLiteral("TXT.rtf");
constexpr qsizetype kHeaderSize = 8;  // "rtfd" and a version word

// A name that is safe as one file of the wrapper and as text after
// \NeXTGraphic: no folders, no control characters, no names the wrapper
// reserves for itself.
QString safeName(const QString& name) {
  QString out;
  for (const QChar c : name)
    if (c.unicode() >= 0x20 && c != u'/' && c != u'\\' && c != u'{' && c != u'}') out.append(c);
  out = out.trimmed();
  if (out.isEmpty() || out == QLatin1String(".") || out == QLatin1String("..")) {
    out = QStringLiteral("Attachment");
  } else if (out.startsWith(QLatin1String("__@")) ||
             out.compare(kTextFile, Qt::CaseInsensitive) == 0) {
    out.prepend(QStringLiteral("Attachment "));
  }
  return out;
}

// "name.png" taken: "name 2.png", "name 3.png", ...
QString numbered(const QString& name, int n) {
  const qsizetype dot = name.lastIndexOf(u'.');
  if (dot <= 0) return name + u' ' + QString::number(n);
  return name.left(dot) + u' ' + QString::number(n) + name.mid(dot);
}

}  // namespace

bool isFlatRtfd(const QByteArray& data) { return data.startsWith("rtfd"); }

std::optional<AttributedText> readFlatRtfd(const QByteArray& data) {
  if (!isFlatRtfd(data) || data.size() < kHeaderSize) return std::nullopt;
  const std::optional<FileWrapper> root = parseFileWrapper(data, kHeaderSize);
  if (!root) return std::nullopt;
  const QByteArray* rtf = nullptr;
  QHash<QString, const QByteArray*> files;
  if (root->isDirectory) {
    for (const auto& [name, bytes] : root->files()) {
      if (name.compare(kTextFile, Qt::CaseInsensitive) == 0 && !rtf) {
        rtf = bytes;
      } else {
        files.insert(name, bytes);
      }
    }
  } else {
    rtf = &root->contents;  // a wrapper holding the text alone
  }
  if (!rtf) return std::nullopt;
  std::optional<AttributedText> text = readRtf(*rtf);
  if (!text) return std::nullopt;

  std::vector<std::pair<int, const QByteArray*>> fills;
  for (const AttributedText::Run& r : text->runs()) {
    if (!r.attributes.attachment) continue;
    const QString& name = r.attributes.attachment->fileName;
    const QByteArray* bytes = files.value(name);
    if (!bytes) {
      for (auto it = files.cbegin(); it != files.cend() && !bytes; ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0) bytes = it.value();
    }
    if (bytes)
      for (int i = 0; i < r.length; ++i) fills.emplace_back(r.start + i, bytes);
  }
  for (const auto& fill : fills)
    text->modifyAttributes(fill.first, 1,
                           [&](TextAttributes& a) { a.attachment->contents = *fill.second; });
  return text;
}

QByteArray writeFlatRtfd(const AttributedText& text, const TextAttributes* typing) {
  AttributedText copy = text;
  std::vector<std::pair<QString, QByteArray>> files;
  QHash<QString, qsizetype> byName;  // lower-cased name -> index in files
  QSet<QString> taken{kTextFile.toLower()};

  std::vector<std::tuple<int, int, QString>> renames;  // ranges of the original runs
  for (const AttributedText::Run& r : text.runs()) {
    if (!r.attributes.attachment) continue;
    const TextAttachment& a = *r.attributes.attachment;
    QString name = safeName(a.fileName);
    const auto same = byName.constFind(name.toLower());
    if (same == byName.cend() || files[size_t(*same)].second != a.contents) {
      if (taken.contains(name.toLower())) {
        int n = 2;
        while (taken.contains(numbered(name, n).toLower())) ++n;
        name = numbered(name, n);
      }
      taken.insert(name.toLower());
      byName.insert(name.toLower(), qsizetype(files.size()));
      files.emplace_back(name, a.contents);
    } else {
      name = files[size_t(*same)].first;
    }
    if (name != a.fileName) renames.emplace_back(r.start, r.length, name);
  }
  for (const auto& rename : renames) {
    const QString& name = std::get<2>(rename);
    copy.modifyAttributes(std::get<0>(rename), std::get<1>(rename),
                          [&](TextAttributes& a) { a.attachment->fileName = name; });
  }
  files.insert(files.begin(), {kTextFile, writeRtf(copy, RtfAttachments::References, typing)});

  QByteArray out("rtfd");
  char zero[4] = {0, 0, 0, 0};
  out.append(zero, 4);
  out.append(serializeDirectory(files));
  return out;
}

}  // namespace ql
