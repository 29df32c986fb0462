#include "content/text/attributed_text.h"

#include <algorithm>

namespace ql {

namespace {

const TextAttributes& defaultAttributes() {
  static const TextAttributes attributes;
  return attributes;
}

bool isParagraphEnd(QChar c) {
  return c == u'\n' || c == u'\r' || c == QChar(0x2029);
}

}  // namespace

AttributedText::AttributedText(const QString& text, const TextAttributes& attributes)
    : text_(text) {
  if (!text_.isEmpty()) runs_.push_back({0, length(), attributes});
}

AttributedText AttributedText::attachment(const TextAttachment& file,
                                          const TextAttributes& attributes) {
  TextAttributes a = attributes;
  a.attachment = file;
  return AttributedText(QString(QChar(kAttachmentCharacter)), a);
}

QString AttributedText::plainText(const QString& attachmentPlaceholder) const {
  bool any = false;
  for (const Run& r : runs_) any = any || r.attributes.attachment.has_value();
  if (!any) return text_;
  QString out;
  out.reserve(text_.size());
  for (const Run& r : runs_) {
    if (r.attributes.attachment) {
      for (int i = 0; i < r.length; ++i) out += attachmentPlaceholder;
    } else {
      out += QStringView(text_).mid(r.start, r.length);
    }
  }
  return out;
}

AttributedText AttributedText::substring(int position, int len) const {
  position = qBound(0, position, length());
  len = qBound(0, len, length() - position);
  AttributedText out;
  if (len == 0) return out;
  out.text_ = text_.mid(position, len);
  for (int i = runIndexAt(position); i < int(runs_.size()); ++i) {
    const Run& r = runs_[size_t(i)];
    if (r.start >= position + len) break;
    const int s = std::max(r.start, position);
    const int e = std::min(r.start + r.length, position + len);
    out.runs_.push_back({s - position, e - s, r.attributes});
  }
  return out;
}

const TextAttributes& AttributedText::attributesAt(int position) const {
  if (runs_.empty()) return defaultAttributes();
  return runs_[size_t(runIndexAt(qBound(0, position, length() - 1)))].attributes;
}

bool AttributedText::hasAttachmentAt(int position) const {
  return position >= 0 && position < length() && attributesAt(position).attachment.has_value();
}

void AttributedText::setAttributes(int position, int len, const TextAttributes& attributes) {
  modifyAttributes(position, len, [&](TextAttributes& a) { a = attributes; });
}

void AttributedText::replace(int position, int len, const QString& text) {
  position = qBound(0, position, length());
  len = qBound(0, len, length() - position);
  if (text.isEmpty()) {
    replace(position, len, AttributedText());
    return;
  }
  int from = position;
  if (len == 0 && position > 0) from = position - 1;
  replace(position, len, AttributedText(text, attributesAt(from)));
}

void AttributedText::replace(int position, int len, const QString& text,
                             const TextAttributes& attributes) {
  replace(position, len, AttributedText(text, attributes));
}

void AttributedText::replace(int position, int len, const AttributedText& text) {
  position = qBound(0, position, length());
  len = qBound(0, len, length() - position);
  if (len == 0 && text.isEmpty()) return;
  if (growRun(position, len, text)) return;
  const int first = splitAt(position);
  const int last = splitAt(position + len);
  runs_.erase(runs_.begin() + first, runs_.begin() + last);
  const int delta = text.length() - len;
  for (size_t i = size_t(first); i < runs_.size(); ++i) runs_[i].start += delta;
  std::vector<Run> inserted = text.runs_;
  for (Run& r : inserted) r.start += position;
  runs_.insert(runs_.begin() + first, inserted.begin(), inserted.end());
  text_.replace(position, len, text.text_);
  mergeAround(first, first + int(inserted.size()));
}

// The common edits (typing, replacing a code inside one run, deleting within
// a run) only change one run's length: no runs are split, moved or merged.
bool AttributedText::growRun(int position, int len, const AttributedText& text) {
  if (runs_.empty() || text.runs_.size() > 1) return false;
  int i = runIndexAt(position);
  Run* r = &runs_[size_t(i)];
  if (len == 0 && position == r->start && i > 0 &&
      (text.isEmpty() || runs_[size_t(i - 1)].attributes == text.runs_[0].attributes)) {
    r = &runs_[size_t(--i)];  // appending to the run before
  }
  if (position < r->start || position + len > r->start + r->length) return false;
  if (!text.isEmpty() && !(r->attributes == text.runs_[0].attributes)) return false;
  const int delta = text.length() - len;
  if (r->length + delta <= 0) return false;  // the run would vanish: merging needed
  r->length += delta;
  for (size_t k = size_t(i) + 1; k < runs_.size(); ++k) runs_[k].start += delta;
  text_.replace(position, len, text.text_);
  return true;
}

void AttributedText::append(const QString& text, const TextAttributes& attributes) {
  if (text.isEmpty()) return;
  if (!runs_.empty() && runs_.back().attributes == attributes) {
    runs_.back().length += int(text.size());
  } else {
    runs_.push_back({length(), int(text.size()), attributes});
  }
  text_.append(text);
}

void AttributedText::append(const AttributedText& text) { replace(length(), 0, text); }

int AttributedText::indexOf(const QString& needle, int from, Qt::CaseSensitivity cs) const {
  if (from < 0 || from > length()) return -1;
  return int(text_.indexOf(needle, from, cs));
}

void AttributedText::toUpper() { mapCase(true); }
void AttributedText::toLower() { mapCase(false); }

// Each run is mapped on its own, so a character that changes length keeps the
// attributes of the run it came from and no range can fall outside the text.
void AttributedText::mapCase(bool upper) {
  const QString whole = upper ? text_.toUpper() : text_.toLower();
  if (whole == text_) return;
  if (whole.size() == text_.size()) {
    bool sameRuns = true;
    for (const Run& r : runs_) {
      const QString piece = text_.mid(r.start, r.length);
      const QString mapped = upper ? piece.toUpper() : piece.toLower();
      if (mapped.size() != piece.size()) {
        sameRuns = false;
        break;
      }
    }
    if (sameRuns) {
      text_ = whole;
      return;
    }
  }
  QString out;
  out.reserve(whole.size());
  int start = 0;
  for (Run& r : runs_) {
    const QString piece = text_.mid(r.start, r.length);
    const QString mapped = upper ? piece.toUpper() : piece.toLower();
    out += mapped;
    r.start = start;
    r.length = int(mapped.size());
    start += r.length;
  }
  text_ = out;
  normalize();
}

void AttributedText::capitalizeParagraphs() {
  bool atStart = true;
  for (int i = 0; i < length(); ++i) {
    const QChar c = text_.at(i);
    if (atStart) {
      atStart = false;
      char32_t cp = c.unicode();
      int units = 1;
      if (c.isHighSurrogate() && i + 1 < length() && text_.at(i + 1).isLowSurrogate()) {
        cp = QChar::surrogateToUcs4(c, text_.at(i + 1));
        units = 2;
      }
      const char32_t title = QChar::toTitleCase(cp);
      if (title != cp) {
        const QString mapped = QString::fromUcs4(&title, 1);
        replace(i, units, mapped);
        i += int(mapped.size()) - 1;
        continue;
      }
      i += units - 1;
      if (units == 2) continue;
    }
    if (isParagraphEnd(text_.at(i))) atStart = true;
  }
}

int AttributedText::runIndexAt(int position) const {
  auto it = std::upper_bound(runs_.begin(), runs_.end(), position,
                             [](int pos, const Run& r) { return pos < r.start; });
  return std::max(0, int(it - runs_.begin()) - 1);
}

int AttributedText::splitAt(int position) {
  if (position >= length()) return int(runs_.size());
  const int i = runIndexAt(position);
  Run& r = runs_[size_t(i)];
  if (r.start == position) return i;
  Run tail{position, r.start + r.length - position, r.attributes};
  r.length = position - r.start;
  runs_.insert(runs_.begin() + i + 1, std::move(tail));
  return i + 1;
}

// Joins equal neighbours among runs [firstRun - 1, lastRun].
void AttributedText::mergeAround(int firstRun, int lastRun) {
  int i = std::max(1, firstRun);
  int end = std::min(lastRun, int(runs_.size()) - 1);
  while (i <= end) {
    Run& prev = runs_[size_t(i - 1)];
    if (prev.attributes == runs_[size_t(i)].attributes) {
      prev.length += runs_[size_t(i)].length;
      runs_.erase(runs_.begin() + i);
      --end;
    } else {
      ++i;
    }
  }
}

void AttributedText::normalize() {
  std::vector<Run> out;
  out.reserve(runs_.size());
  for (Run& r : runs_) {
    if (r.length <= 0) continue;
    if (!out.empty() && out.back().attributes == r.attributes) {
      out.back().length += r.length;
    } else {
      out.push_back(std::move(r));
    }
  }
  runs_ = std::move(out);
}

}  // namespace ql
