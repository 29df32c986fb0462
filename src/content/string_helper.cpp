#include "content/string_helper.h"

#include "content/content_types.h"
#include "content/text/flat_rtfd.h"
#include "content/text/html_export.h"
#include "content/text/rtf_reader.h"

namespace ql::helper {

QString plainTextFromRTFD(const AttributedText* text, const std::optional<QString>& attachmentString,
                          bool removeNewlineCharacter) {
  if (!text) return QString();
  QString result = text->plainText(attachmentString.value_or(codes::kAttachmentPlaceholder));
  if (removeNewlineCharacter) result.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return result;
}

QString htmlForAttributedString(const AttributedText& text) { return htmlFragment(text); }

std::optional<AttributedText> readFormatted(const QByteArray& data) {
  if (data.isEmpty()) return std::nullopt;
  if (isFlatRtfd(data)) return readFlatRtfd(data);
  return readRtf(data);
}

}  // namespace ql::helper
