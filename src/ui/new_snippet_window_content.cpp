#include "ui/new_snippet_window_content.h"

#include "content/text/flat_rtfd.h"
#include "content/text/rtf_reader.h"
#include "platform/pasteboard.h"
#include "platform/pasteboard_types.h"
#include "ui/text_document_bridge.h"

#include <QStringDecoder>
#include <QTextDocument>
#include <QVariant>

#include <optional>

namespace ql {
namespace {

// RTF goes by several names on X11; LibreOffice offers all of them.
const QStringList& rtfTypes() {
  static const QStringList types{pasteboard_types::Rtf, QStringLiteral("application/rtf"),
                                 QStringLiteral("text/richtext")};
  return types;
}

std::optional<QByteArray> read(const Pasteboard& pasteboard, const QStringList& offered,
                               const QString& type) {
  if (!offered.contains(type)) return std::nullopt;
  std::optional<QByteArray> bytes = pasteboard.data(type);
  if (bytes && bytes->isEmpty()) return std::nullopt;
  return bytes;
}

std::optional<QString> plainFlavour(const Pasteboard& pasteboard, const QStringList& offered) {
  for (const QString& type : {pasteboard_types::StringUtf8, pasteboard_types::String,
                              QStringLiteral("UTF8_STRING")})
    if (const auto bytes = read(pasteboard, offered, type)) return QString::fromUtf8(*bytes);
  return std::nullopt;
}

// Browsers write HTML in UTF-8 or, some of them, UTF-16 with a byte order
// mark; a meta charset says which.
QString decodeHtml(const QByteArray& bytes) {
  const auto encoding = QStringConverter::encodingForHtml(bytes);
  QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
  return decoder.decode(bytes);
}

// Pictures and style sheets the HTML points to are not fetched: the
// clipboard must not make the program read the user's files or the network.
AttributedText readHtml(const QByteArray& bytes) {
  QTextDocument document;
  document.setResourceProvider([](const QUrl&) { return QVariant(QByteArray()); });
  document.setHtml(decodeHtml(bytes));
  AttributedText text = readFromDocument(&document);
  for (int i = text.length() - 1; i >= 0; --i) {
    if (!text.hasAttachmentAt(i)) continue;
    const auto& file = text.attributesAt(i).attachment;
    if (!file || file->contents.isEmpty()) text.remove(i, 1);
  }
  return text;
}

std::optional<AttributedText> richFlavour(const Pasteboard& pasteboard, const QStringList& offered) {
  if (const auto bytes = read(pasteboard, offered, pasteboard_types::Rtfd))
    if (auto text = readFlatRtfd(*bytes)) return text;
  for (const QString& type : rtfTypes())
    if (const auto bytes = read(pasteboard, offered, type))
      if (auto text = readRtf(*bytes)) return text;
  if (const auto bytes = read(pasteboard, offered, pasteboard_types::Html)) {
    AttributedText text = readHtml(*bytes);
    if (!text.isEmpty()) return text;
  }
  return std::nullopt;
}

}  // namespace

NewSnippetContent snippetContentFromPasteboard(const Pasteboard& pasteboard, int snippetType,
                                               const QFont& formattedFont,
                                               const QByteArray& emptyFormatted) {
  NewSnippetContent c;
  c.snippetType = snippetType == 1 ? 1 : 0;
  const QStringList offered = pasteboard.types();
  if (c.snippetType == 1) {
    c.formattedText = emptyFormatted;
    std::optional<AttributedText> text = richFlavour(pasteboard, offered);
    if (!text) {
      if (const auto plain = plainFlavour(pasteboard, offered))
        text = AttributedText(*plain, attributesForFont(formattedFont, {}));
    }
    if (text && !text->isEmpty()) {
      c.formattedText = writeFlatRtfd(*text);
      c.fromPasteboard = true;
    }
    return c;
  }
  std::optional<QString> plain = plainFlavour(pasteboard, offered);
  if (!plain || plain->isEmpty()) {
    if (const auto text = richFlavour(pasteboard, offered)) {
      plain = text->string();
      plain->remove(AttributedText::kAttachmentCharacter);
    }
  }
  if (plain && !plain->isEmpty()) {
    c.plainText = *plain;
    c.fromPasteboard = true;
  }
  return c;
}

}  // namespace ql
