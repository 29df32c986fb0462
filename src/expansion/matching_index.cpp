#include "expansion/matching_index.h"

#include "expansion/matching_words.h"
#include "model/text_folding.h"

#include <algorithm>

namespace ql {

namespace {

struct KeyInfo {
  int count = 0;
  int first = -1;
  int best = -1;
};

}  // namespace

bool MatchingIndex::beats(int a, int b) const {
  const int la = entries_[size_t(a)].abbreviationLength;
  const int lb = entries_[size_t(b)].abbreviationLength;
  return la != lb ? la > lb : a > b;
}

void MatchingIndex::clear() {
  entries_.clear();
  words_.clear();
  pool_.clear();
  reversed_.clear();
}

void MatchingIndex::build(const QList<SnippetPtr>& eligible) {
  clear();
  entries_.reserve(size_t(eligible.size()));
  QHash<QString, KeyInfo> keys;
  keys.reserve(eligible.size());
  for (const SnippetPtr& s : eligible) {
    const int i = int(entries_.size());
    entries_.push_back(Entry{s, int(s->abbreviation.size())});
    const QString key = folding::matchKey(s->abbreviation);
    if (key.isEmpty()) continue;
    KeyInfo& info = keys[key];
    ++info.count;
    if (info.first < 0) info.first = i;
    if (info.best < 0 || beats(i, info.best)) info.best = i;
  }

  words_.reserve(keys.size());
  reversed_.reserve(size_t(keys.size()));
  for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
    words_.insert(it.key(), WordMatches{it->count, it->first});
    ReversedKey r;
    r.offset = quint32(pool_.size());
    r.length = quint32(it.key().size());
    r.best = it->best;
    for (qsizetype j = it.key().size() - 1; j >= 0; --j) pool_.push_back(it.key()[j].unicode());
    reversed_.push_back(r);
  }
  std::sort(reversed_.begin(), reversed_.end(), [this](const ReversedKey& a, const ReversedKey& b) {
    return std::lexicographical_compare(pool_.begin() + a.offset, pool_.begin() + a.offset + a.length,
                                        pool_.begin() + b.offset, pool_.begin() + b.offset + b.length);
  });
}

MatchingIndex::WordMatches MatchingIndex::findWord(QStringView word) const {
  const QString key = folding::matchKey(word);
  if (key.isEmpty()) return {};
  return words_.value(key);
}

int MatchingIndex::findSuffix(QStringView buffer, const matching::ImmediateWord& word) const {
  if (word.isEmpty() || reversed_.empty()) return -1;
  // The sorted reversed keys narrow to those that begin (end, unreversed)
  // with what has been read so far; a key that is exactly that is a match.
  auto lo = reversed_.cbegin();
  auto hi = reversed_.cend();
  quint32 depth = 0;
  int best = -1;
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
      if (lo->length == depth && (best < 0 || beats(lo->best, best))) best = lo->best;
    }
  }
  return best;
}

}  // namespace ql
