#include "expansion/matching_index.h"

#include "expansion/matching_words.h"
#include "model/text_folding.h"

#include <algorithm>
#include <string_view>

namespace ql {

namespace {

// Appends the match key of text, reversed: code points from the last to the
// first, the units of each one's key from its last to its first.
void appendReversedKey(QStringView text, std::vector<char16_t>* out) {
  qsizetype p = text.size() - 1;
  while (p >= 0) {
    char32_t cp = text[p].unicode();
    if (QChar::isLowSurrogate(cp) && p > 0 && text[p - 1].isHighSurrogate()) {
      cp = QChar::surrogateToUcs4(text[p - 1].unicode(), char16_t(cp));
      p -= 2;
    } else {
      p -= 1;
    }
    const folding::FoldedCodePoint& f = folding::foldCodePoint(cp);
    for (int i = f.size - 1; i >= 0; --i) out->push_back(f.units[i]);
  }
}

}  // namespace

bool MatchingIndex::beats(int a, int b) const {
  const int la = entries_[size_t(a)].abbreviationLength;
  const int lb = entries_[size_t(b)].abbreviationLength;
  return la != lb ? la > lb : a > b;
}

bool MatchingIndex::isBuiltFor(const QList<SnippetPtr>& eligible) const {
  if (entries_.size() != size_t(eligible.size())) return false;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const SnippetPtr& s = eligible[qsizetype(i)];
    if (entries_[i].snippet != s || entries_[i].abbreviation != s->abbreviation) return false;
  }
  return true;
}

void MatchingIndex::build(const QList<SnippetPtr>& eligible) {
  active_ = true;
  if (isBuiltFor(eligible)) return;
  entries_.clear();
  pool_.clear();
  reversed_.clear();
  entries_.reserve(size_t(eligible.size()));

  struct Item {
    quint32 offset;
    quint32 length;
    int entry;
  };
  std::vector<Item> items;
  items.reserve(size_t(eligible.size()));
  for (const SnippetPtr& s : eligible) {
    const int i = int(entries_.size());
    entries_.push_back(Entry{s, s->abbreviation, int(s->abbreviation.size())});
    const auto offset = quint32(pool_.size());
    appendReversedKey(s->abbreviation, &pool_);
    const auto length = quint32(pool_.size() - offset);
    if (length > 0) items.push_back(Item{offset, length, i});
  }
  const auto text = [this](quint32 offset, quint32 length) {
    return std::u16string_view(pool_.data() + offset, length);
  };
  std::sort(items.begin(), items.end(), [&text](const Item& a, const Item& b) {
    const int c = text(a.offset, a.length).compare(text(b.offset, b.length));
    return c != 0 ? c < 0 : a.entry < b.entry;
  });

  for (size_t i = 0; i < items.size();) {
    ReversedKey k{items[i].offset, items[i].length, 0, items[i].entry, items[i].entry};
    const std::u16string_view key = text(k.offset, k.length);
    for (; i < items.size() && text(items[i].offset, items[i].length) == key; ++i) {
      ++k.count;
      if (beats(items[i].entry, k.best)) k.best = items[i].entry;
    }
    reversed_.push_back(k);
  }
}

MatchingIndex::WordMatches MatchingIndex::findWord(QStringView word) const {
  if (!active_) return {};
  std::vector<char16_t> key;
  appendReversedKey(word, &key);
  if (key.empty()) return {};
  const std::u16string_view wanted(key.data(), key.size());
  const auto it = std::lower_bound(reversed_.cbegin(), reversed_.cend(), wanted,
                                   [this](const ReversedKey& k, std::u16string_view v) {
                                     return std::u16string_view(pool_.data() + k.offset, k.length) < v;
                                   });
  if (it == reversed_.cend() || std::u16string_view(pool_.data() + it->offset, it->length) != wanted)
    return {};
  return WordMatches{it->count, it->first};
}

MatchingIndex::SuffixMatch MatchingIndex::findSuffix(QStringView buffer,
                                                    const matching::ImmediateWord& word) const {
  SuffixMatch best;
  if (!active_ || word.isEmpty() || reversed_.empty()) return best;
  // The sorted reversed keys narrow to those that begin (end, unreversed)
  // with what has been read so far; a key that is exactly that is a match.
  auto lo = reversed_.cbegin();
  auto hi = reversed_.cend();
  quint32 depth = 0;
  qsizetype p = word.end() - 1;
  while (p >= 0 && !word.isBoundaryAt(p)) {
    char32_t cp = buffer[p].unicode();
    if (QChar::isLowSurrogate(cp) && p > 0 && buffer[p - 1].isHighSurrogate()) {
      cp = QChar::surrogateToUcs4(buffer[p - 1].unicode(), char16_t(cp));
      p -= 2;
    } else {
      p -= 1;
    }
    const folding::FoldedCodePoint& f = folding::foldCodePoint(cp);
    for (int i = f.size - 1; i >= 0; --i) {
      const char16_t c = f.units[i];
      if (lo != hi && lo->length == depth) ++lo;  // the key that ended here sorts first
      lo = std::lower_bound(lo, hi, c, [this, depth](const ReversedKey& k, char16_t v) {
        return unitAt(k, depth) < v;
      });
      hi = std::upper_bound(lo, hi, c, [this, depth](char16_t v, const ReversedKey& k) {
        return v < unitAt(k, depth);
      });
      if (lo == hi) return best;
      ++depth;
    }
    // Only a key that ends with a whole code point matches: the first "s"
    // of the "ss" that "ß" folds to is no "s" typed. A code point that folds
    // to nothing (a mark) belongs to the character before it, so a key is
    // taken where it first ends, without such marks in front.
    if (f.size > 0 && lo->length == depth && (best.entry < 0 || beats(lo->best, best.entry)))
      best = SuffixMatch{lo->best, p + 1};
  }
  return best;
}

}  // namespace ql
