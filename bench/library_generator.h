#pragma once

// Large libraries for benchmarks, the way a long-time user's looks: groups of
// a hundred snippets, about 1 KB of text each in short lines, every tenth
// group limited to some applications. Deterministic: the same count gives
// the same library.
#include "model/ql_settings.h"

#include <QStringList>

namespace bench {

// The application the rules of the limited groups name.
inline const QString kRuledApplication = QStringLiteral("Gedit");

// The abbreviation of the i-th generated snippet: unlike any English word.
inline QString generatedAbbreviation(int i) { return QStringLiteral("zq") + QString::number(i, 36); }

// Appends count snippets (and their groups) to library.
inline void generateLibrary(QLSettings& library, int count, int textBytes = 1000) {
  static const QStringList words = {
      "regards", "meeting", "invoice",  "tomorrow", "project", "thanks", "address",
      "please",  "schedule", "attached", "review",   "office",  "call",   "details"};
  const int perGroup = 100;
  const int first = int(library.snippets.size());
  GroupPtr group;
  for (int i = 0; i < count; ++i) {
    const int n = first + i;
    if (!group || i % perGroup == 0) {
      group = std::make_shared<QLGroup>();
      const int g = n / perGroup;
      group->name = QStringLiteral("Group %1").arg(g);
      group->isExpanded = g % 20 == 0;
      if (g % 10 == 1) {
        group->exceptionType = QLGroup::OnlyApps;
        group->exceptions = {kRuledApplication};
      } else if (g % 10 == 2) {
        group->exceptionType = QLGroup::AllAppsExcept;
        group->exceptions = {kRuledApplication};
      }
      library.groups.append(group);
    }
    auto s = std::make_shared<QLSnippet>();
    s->abbreviation = generatedAbbreviation(n);
    s->label = n % 3 ? QStringLiteral("Snippet %1 %2").arg(n).arg(words[n % words.size()]) : QString();
    QString text;
    text.reserve(textBytes + 80);
    for (int w = 0; text.size() < textBytes; ++w) {
      text += words[(n * 7 + w) % words.size()];
      text += (w % 12 == 11) ? QLatin1Char('\n') : QLatin1Char(' ');
    }
    s->plainText = text;
    s->useCount = (n * 7919) % 1000;
    s->content(true);
    s->groupUuid = group->uuid;
    group->snippts.append(s->uuid);
    library.snippets.append(s);
  }
}

}  // namespace bench
