#pragma once

#include "model/ql_snippet.h"

#include <QHash>
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
    int abbreviationLength = 0;  // of the abbreviation as stored, in UTF-16 units
  };

  // Entries keep the order of the list; that order breaks ties.
  void build(const QList<SnippetPtr>& eligible);
  void clear();
  int size() const { return int(entries_.size()); }
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
  // in list order. -1 when none.
  int findSuffix(QStringView buffer, const matching::ImmediateWord& word) const;

 private:
  // A distinct match key, reversed, in pool_.
  struct ReversedKey {
    quint32 offset = 0;
    quint32 length = 0;
    int best = -1;  // the entry that wins among those with this key
  };

  bool beats(int a, int b) const;
  char16_t unitAt(const ReversedKey& k, quint32 i) const { return pool_[k.offset + i]; }

  std::vector<Entry> entries_;
  QHash<QString, WordMatches> words_;
  std::vector<char16_t> pool_;
  std::vector<ReversedKey> reversed_;  // sorted by their text
};

}  // namespace ql
