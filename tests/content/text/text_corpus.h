#pragma once

#include "content/text/attributed_text.h"

#include <QRandomGenerator>

#include <vector>

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"  // designated initialisers name what matters

// Attributed texts for round trips. Paragraph attributes are uniform within
// each paragraph, as the text system keeps them.
namespace corpus {

inline QByteArray tinyPng() {
  return QByteArray::fromBase64(
      "iVBORw0KGgoAAAANSUhEUgAAAAIAAAADCAIAAAA2iEnWAAAAEUlEQVR4nGP4z8DA8B+MEBQAQdMF+08zgXEAAAAASUVORK5CYII=");
}

// Sets the paragraph attributes of the paragraph around position.
inline void paragraph(ql::AttributedText& t, int position, const ql::TextAttributes& p) {
  int start = position;
  while (start > 0 && t.string().at(start - 1) != u'\n') --start;
  int end = int(t.string().indexOf(u'\n', position));
  end = end < 0 ? t.length() : end + 1;
  t.modifyAttributes(start, end - start, [&](ql::TextAttributes& a) {
    a.alignment = p.alignment;
    a.tabStops = p.tabStops;
    a.firstLineIndent = p.firstLineIndent;
    a.leftIndent = p.leftIndent;
  });
}

// Edge cases the random documents rarely make.
inline std::vector<ql::AttributedText> documents() {
  std::vector<ql::AttributedText> docs{ql::AttributedText(), ql::AttributedText(QStringLiteral("plain")),
                                       ql::AttributedText(QStringLiteral("\n\n"))};
  // Two attachments side by side, one of them at the very start.
  ql::AttributedText images = ql::AttributedText::attachment({QStringLiteral("a.png"), tinyPng()});
  images.append(ql::AttributedText::attachment({QStringLiteral("b.png"), tinyPng() + "x"}));
  docs.push_back(images);
  return docs;
}

// A random document of n runs, seeded, with every kind of attribute.
inline ql::AttributedText random(quint32 seed, int runs) {
  QRandomGenerator rng(seed);
  static const QStringList words = {
      QStringLiteral("alpha "), QStringLiteral("beta"), QStringLiteral("{x}"),
      QStringLiteral("\\"),     QStringLiteral("\n"),   QStringLiteral("\t"),
      QStringLiteral("é"),      QStringLiteral("😀"),   QStringLiteral("שלום"),
      QStringLiteral("\u2028"), QStringLiteral("€"),    QStringLiteral(";"),
      QStringLiteral("\u0001"), QStringLiteral("\uFFFC"), QStringLiteral("  "),
      QStringLiteral("日本語"), QStringLiteral("\U0001D11E"), QStringLiteral("\u200F")};
  static const QStringList fonts = {QStringLiteral("Helvetica"), QStringLiteral("Menlo"),
                                    QStringLiteral("Liberation Serif"), QStringLiteral("")};
  static const QStringList links = {QStringLiteral("http://l/0"),
                                    QStringLiteral("https://example.com/a b?c=\"d\"&e={f}")};
  ql::AttributedText t;
  for (int i = 0; i < runs; ++i) {
    ql::TextAttributes a{.fontFamily = fonts[rng.bounded(int(fonts.size()))],
                         .pointSize = rng.bounded(2, 60) / 2.0,
                         .bold = rng.bounded(2) == 1, .italic = rng.bounded(2) == 1,
                         .underline = rng.bounded(2) == 1, .strikethrough = rng.bounded(4) == 0};
    if (rng.bounded(3) == 0) a.foreground = ql::TextColor{quint8(rng.bounded(256)), 0, 9};
    if (rng.bounded(5) == 0) a.background = ql::TextColor{0, quint8(rng.bounded(256)), 0};
    if (rng.bounded(6) == 0) a.link = links[rng.bounded(int(links.size()))];
    if (rng.bounded(10) == 0) {
      const QByteArray bytes = rng.bounded(2) ? tinyPng() : QByteArray::number(i) + '\0';
      t.append(ql::AttributedText::attachment({QStringLiteral("f%1 é.bin").arg(i), bytes}, a));
      continue;
    }
    QString text;
    for (int w = rng.bounded(1, 5); w > 0; --w) text += words[rng.bounded(int(words.size()))];
    t.append(text, a);
  }
  // Paragraph attributes, one set per paragraph.
  for (int at = 0; at < t.length();) {
    ql::TextAttributes p;
    p.alignment = ql::TextAlignment(rng.bounded(5));
    if (rng.bounded(2)) p.tabStops = {int(rng.bounded(100)), 200 + int(rng.bounded(100))};
    p.leftIndent = rng.bounded(3) * 360;
    p.firstLineIndent = int(rng.bounded(3)) * 180 - 180;
    paragraph(t, at, p);
    const qsizetype next = t.string().indexOf(u'\n', at);
    at = next < 0 ? t.length() : int(next) + 1;
  }
  return t;
}

// The same text with every attachment's bytes dropped: what survives RTF alone.
inline ql::AttributedText withoutAttachmentBytes(ql::AttributedText t) {
  std::vector<std::pair<int, int>> ranges;
  for (const auto& r : t.runs())
    if (r.attributes.attachment) ranges.emplace_back(r.start, r.length);
  for (const auto& [start, length] : ranges)
    t.modifyAttributes(start, length, [](ql::TextAttributes& a) { a.attachment->contents.clear(); });
  return t;
}

}  // namespace corpus
