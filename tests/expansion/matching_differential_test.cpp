// Matching on its precomputed lookups against a literal, step-by-step
// version (a stable sort and a scan of every eligible snippet at each call)
// on random libraries and random typing, with tricky text: case, decomposed
// and precomposed accents, marks alone, surrogate pairs, newline characters.
#include "keyboard_hook_rig.h"
#include "model/text_folding.h"

#include <algorithm>
#include <random>

using ql::test::RecordingHookDelegate;
namespace folding = ql::folding;

namespace {

namespace literal {

bool ruleAllows(int type, const QStringList& list, const QString& app) {
  if (type == 1) return true;
  if (type == 2) return !list.contains(app);
  if (type == 3) return list.contains(app);
  return false;
}

QList<SnippetPtr> appChanged(const QLSettings& library, const QString& app) {
  const bool global = ruleAllows(library.preferences.exceptionType, library.preferences.exceptions, app);
  QList<SnippetPtr> eligible;
  for (const GroupPtr& g : library.groups) {
    const bool included = g->exceptionType == 0 ? global : ruleAllows(g->exceptionType, g->exceptions, app);
    if (!included) continue;
    for (const SnippetPtr& s : library.snippets) {
      if (s->groupUuid != g->uuid) continue;
      if (!s->abbreviation.isEmpty() && !s->searchableText().isEmpty()) eligible.append(s);
    }
  }
  return eligible;
}

bool isNewline(QChar c) {
  const char16_t u = c.unicode();
  return (u >= 0x0A && u <= 0x0D) || u == 0x85 || u == 0x2028 || u == 0x2029;
}

QString trimNewlines(QString s) {
  while (!s.isEmpty() && isNewline(s.front())) s.remove(0, 1);
  while (!s.isEmpty() && isNewline(s.back())) s.chop(1);
  return s;
}

// The typed text an immediate-mode match covers: the shortest run of whole
// code points at the end of t whose key is the abbreviation's; none (null)
// when there is no such run.
QString matchedSpan(const QString& t, const QString& abbreviation) {
  const QString key = folding::matchKey(abbreviation);
  if (key.isEmpty()) return QString();
  for (qsizetype b = t.size() - 1; b >= 0; --b) {
    if (t[b].isLowSurrogate() && b > 0 && t[b - 1].isHighSurrogate()) continue;
    if (folding::matchKey(t.mid(b)) == key) return t.mid(b);
  }
  return QString();
}

}  // namespace literal

// What one call decided, as the delegate saw it.
struct Outcome {
  bool consumed = false;
  QString kind;  // "none" (floating windows closed), "refused", "expand", "popup"
  SnippetPtr snippet;
  QString typed;
  int offset = -1;
  bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Outcome& o) {
  return os << o.kind.toStdString() << (o.consumed ? " consumed " : " passed ")
            << (o.snippet ? o.snippet->abbreviation.toStdString() : "-") << " typed '"
            << o.typed.toStdString() << "' offset " << o.offset;
}

namespace literal {

Outcome processWord(const QLSettings& library, QList<SnippetPtr>& eligible, const QString& w,
                    const QString& d) {
  QString t;
  QList<SnippetPtr> candidates;
  if (!d.isEmpty()) {
    t = QString(w).replace(QLatin1Char('\n'), QLatin1Char(' ')).split(QLatin1Char(' ')).last();
    for (const SnippetPtr& s : eligible)
      if (!folding::matchKey(s->abbreviation).isEmpty() &&
          folding::equalsIgnoringCaseAndDiacritics(s->abbreviation, t))
        candidates.append(s);
  } else {
    QString spaced = w;
    spaced.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    t = trimNewlines(spaced.split(QLatin1Char(' ')).last());
    std::stable_sort(eligible.begin(), eligible.end(),
                     [](const SnippetPtr& a, const SnippetPtr& b) { return a->compareAbbrLength(*b) < 0; });
    for (const SnippetPtr& s : eligible)
      if (!matchedSpan(t, s->abbreviation).isNull()) candidates.append(s);
    if (candidates.size() > 1) candidates = {candidates.last()};
  }
  if (candidates.isEmpty()) return {false, QStringLiteral("none"), nullptr, QString()};
  const Outcome refused{false, QStringLiteral("refused"), nullptr, QString()};
  if (candidates.size() > 1) {
    if (library.preferences.extendType == 0) return refused;
    return {true, QStringLiteral("popup"), nullptr, t, -1};
  }
  const SnippetPtr c = candidates.first();
  const QString a = c->abbreviation;
  QString u = t;
  const QString& p = t;
  // The press consumed is the last one: it must be part of what matched.
  if (d.isEmpty() && !w.endsWith(t)) return refused;
  if (d.isEmpty()) u = matchedSpan(t, a);
  if (d.isEmpty() && t.size() > u.size()) {
    const GroupPtr g = library.getGroupByUUID(c->groupUuid.value_or(QString()));
    if (!g) return refused;
    const qsizetype at = p.size() - u.size() - 1;
    const int mode = g->expandType == 0 ? library.preferences.extendAfter + 1 : g->expandType;
    if (mode == 1 && p[at] != QLatin1Char(' ')) return refused;
    if (mode == 2 && folding::isAlphanumericAt(p, at)) return refused;
  }
  bool pass = false;
  switch (c->abbreviationMatchType) {
    case 0: pass = u == a; break;
    case 1: pass = folding::equalsIgnoringCase(u, a); break;
    case 2: pass = true; break;
    default: break;
  }
  if (!pass) return refused;
  return {true, QStringLiteral("expand"), c, u, d.isEmpty() ? 1 : 0};
}

}  // namespace literal

Outcome observed(const RecordingHookDelegate& delegate, bool consumed) {
  Outcome o;
  o.consumed = consumed;
  if (!delegate.expansions.isEmpty()) {
    const auto& e = delegate.expansions.first();
    o.kind = QStringLiteral("expand");
    o.snippet = e.snippet;
    o.typed = e.abbreviation;
    o.offset = e.removeLengtOffset;
  } else if (!delegate.popups.isEmpty()) {
    o.kind = QStringLiteral("popup");
    o.typed = delegate.popups.first().section(QLatin1Char('|'), 0, 0);
  } else {
    o.kind = delegate.closedWindows() ? QStringLiteral("none") : QStringLiteral("refused");
  }
  return o;
}

class RandomLibrary {
 public:
  explicit RandomLibrary(std::mt19937& rng) : rng_(rng) {}

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  bool chance(int percent) { return pick(100) < percent; }

  // Pieces that make abbreviations and typing interesting for folding.
  QString piece(bool typing) {
    static const QStringList common = {
        QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("s"), QStringLiteral("S"),
        QStringLiteral("\u00E9"), QStringLiteral("e\u0301"), QStringLiteral("\u00C9"),
        QStringLiteral("e"), QStringLiteral("\u00DF"), QStringLiteral("("), QStringLiteral("4"),
        QStringLiteral("\u0301"), QStringLiteral("\U0001D400"), QStringLiteral("\u0130"),
        QStringLiteral("i"), QStringLiteral("ss"), QStringLiteral("\uFB01"), QStringLiteral("f")};
    static const QStringList rare = {QStringLiteral(" "), QStringLiteral("\n"), QStringLiteral("\r"),
                                     QStringLiteral("\v"), QStringLiteral("\u2028"),
                                     QString(QChar(0xD835)), QStringLiteral("\t")};
    if (chance(typing ? 25 : 4)) return rare[pick(int(rare.size()))];
    return common[pick(int(common.size()))];
  }

  QString text(int maxPieces, bool typing) {
    QString s;
    const int n = pick(maxPieces + 1);
    for (int i = 0; i < n; ++i) s += piece(typing);
    return s;
  }

  QStringList apps() {
    QStringList list;
    for (const QString& app : {QStringLiteral("A"), QStringLiteral("B")})
      if (chance(40)) list.append(app);
    return list;
  }

  void fill(QLSettings& library) {
    library.preferences.exceptionType = pick(5);
    library.preferences.exceptions = apps();
    library.preferences.extendAfter = pick(4);
    const int groups = 1 + pick(4);
    for (int i = 0; i < groups; ++i) {
      const GroupPtr g = ::test::addGroup(library, {});
      g->exceptionType = pick(5);
      g->expandType = pick(5);
      g->exceptions = apps();
    }
    const int snippets = 1 + pick(40);
    for (int i = 0; i < snippets; ++i) {
      GroupPtr g = library.groups[pick(int(library.groups.size()))];
      // Short abbreviations, so that several often share one.
      const SnippetPtr s = ql::test::addSnippet(library, chance(90) ? g : nullptr, text(1 + pick(3), false),
                                                chance(90) ? QStringLiteral("x") : QString(), pick(4));
      if (chance(5)) s->groupUuid = QStringLiteral("MISSING");
    }
  }

  // Typing that often ends in one of the abbreviations, as typed or with its
  // case changed.
  QString typing(const QLSettings& library) {
    QString w = text(6, true);
    if (chance(70)) {
      QString a = library.snippets[pick(int(library.snippets.size()))]->abbreviation;
      if (chance(30)) a = a.toUpper();
      w += a;
    }
    if (chance(15)) w += piece(true);
    return w;
  }

 private:
  std::mt19937& rng_;
};

}  // namespace

TEST(MatchingDifferential, SameDecisionsAsTheLiteralSteps) {
  const unsigned seed = 20240611;
  std::mt19937 rng(seed);
  RandomLibrary random(rng);
  ql::sim::SimDesktop desktop;
  RecordingHookDelegate delegate;
  KeyboardHook hook(desktop.platform());
  hook.delegate = &delegate;
  QHash<QString, int> kinds;
  int failures = 0;

  for (int round = 0; round < 600 && failures < 5; ++round) {
    QLSettings library;
    random.fill(library);
    delegate.library = &library;
    const QString app = QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}[random.pick(3)];
    hook.appChanged(ql::ApplicationInfo{app, 77, 0});
    QList<SnippetPtr> eligible = literal::appChanged(library, app);
    ASSERT_EQ(hook.snippets(), eligible) << "round " << round;

    for (int i = 0; i < 40; ++i) {
      const QString w = random.typing(library);
      for (const bool immediate : {true, false}) {
        library.preferences.extendType = immediate ? 0 : 1 + random.pick(2);
        const QString d = immediate ? QString() : QStringLiteral("49");
        const Outcome expected = literal::processWord(library, eligible, w, d);
        delegate.reset();
        const bool consumed = hook.processWord(w, ql::KeyEvent{}, d);
        const Outcome got = observed(delegate, consumed);
        ++kinds[expected.kind];
        if (got != expected) {
          ++failures;
          ADD_FAILURE() << "seed " << seed << " round " << round << (immediate ? " immediate" : " delimiter")
                        << " typed '" << w.toStdString() << "'\n  expected " << expected << "\n  got      "
                        << got;
        }
      }
    }
  }
  // The generator reaches every kind of decision often.
  for (const char* kind : {"none", "refused", "expand", "popup"})
    EXPECT_GT(kinds.value(QString::fromLatin1(kind)), 200) << kind << ": " << kinds.value(QString::fromLatin1(kind));
}
