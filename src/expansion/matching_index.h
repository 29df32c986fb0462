#pragma once

#include "model/ql_snippet.h"

#include <QList>
#include <QString>

#include <vector>

namespace ql {

namespace matching {
class ImmediateWord;
}

// The eligible snippets prepared for matching once per rebuild of the list,
// so that a key press costs a hash lookup (delimiter mode) or a walk of a
// few characters back from the end of the buffer (immediate mode) instead of
// a sort and a scan of every snippet.
//
// Abbreviations are compared by their match keys (case and diacritics
// folded away). An abbreviation whose key is empty matches nothing.
class MatchingIndex final {
 public:
  struct Entry {
    SnippetPtr snippet;
    QString abbreviation;        // as it was when the index was built
    int abbreviationLength = 0;  // in UTF-16 units
  };

  // Entries keep the order of the list; that order breaks ties. A list equal
  // to the last one built (same snippets, same abbreviations) reuses it, as
  // switching between applications with the same rules does.
  void build(const QList<SnippetPtr>& eligible);
  // Empties the index (what was built stays for reuse).
  void clear() { active_ = false; }
  int size() const { return active_ ? int(entries_.size()) : 0; }
  const Entry& entry(int i) const { return entries_[size_t(i)]; }

  // Delimiter mode: how many abbreviations equal the word ignoring case and
  // diacritics, and the first of them.
  struct WordMatches {
    int count = 0;
    int first = -1;
  };
  WordMatches findWord(QStringView word) const;

  // Immediate mode: of the abbreviations the word ends with (ignoring case
  // and diacritics), the longest as stored; among equally long ones the last
  // in list order. A match covers whole code points of the buffer, and start
  // is where the typed text it covers begins: folding changes lengths ("ß"
  // for "ss", "e" and a combining accent for "é"), so that text is what the
  // expansion must delete, not the stored abbreviation's length.
  struct SuffixMatch {
    int entry = -1;  // -1 when none
    qsizetype start = -1;
  };
  SuffixMatch findSuffix(QStringView buffer, const matching::ImmediateWord& word) const;

 private:
  // A distinct match key, reversed, in pool_; sorted by that text, they
  // serve both the whole-word lookup and the walk back from the buffer's end.
  struct ReversedKey {
    quint32 offset = 0;
    quint32 length = 0;
    int count = 0;  // entries with this key
    int first = -1;
    int best = -1;  // the entry that wins among them
  };

  bool isBuiltFor(const QList<SnippetPtr>& eligible) const;
  bool beats(int a, int b) const;
  char16_t unitAt(const ReversedKey& k, quint32 i) const { return pool_[k.offset + i]; }

  bool active_ = false;
  std::vector<Entry> entries_;
  std::vector<char16_t> pool_;
  std::vector<ReversedKey> reversed_;
};

}  // namespace ql
