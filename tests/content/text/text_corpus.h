#pragma once

#include "content/text/attributed_text.h"

#include <QRandomGenerator>

#include <vector>

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

inline std::vector<ql::AttributedText> documents() {
  using ql::TextAttributes;
  std::vector<ql::AttributedText> docs;
  docs.emplace_back();
  docs.emplace_back(QStringLiteral("plain"));
  docs.emplace_back(QStringLiteral("\n\n"));

  ql::AttributedText every;
  TextAttributes a;
  every.append(QStringLiteral("Helvetica 12 "), a);
  a.fontFamily = QStringLiteral("Times New Roman");
  a.pointSize = 17.5;
  every.append(QStringLiteral("Times 17.5 "), a);
  a.bold = true;
  every.append(QStringLiteral("bold "), a);
  a.italic = true;
  every.append(QStringLiteral("bold italic "), a);
  a = TextAttributes();
  a.underline = true;
  every.append(QStringLiteral("under "), a);
  a.strikethrough = true;
  a.underline = false;
  every.append(QStringLiteral("struck\n"), a);
  a = TextAttributes();
  a.foreground = ql::TextColor{200, 10, 20};
  every.append(QStringLiteral("red "), a);
  a.background = ql::TextColor{255, 255, 0};
  every.append(QStringLiteral("on yellow "), a);
  a = TextAttributes();
  a.link = QStringLiteral("https://example.com/a b?c=\"d\"&e={f}");
  every.append(QStringLiteral("a link "), a);
  a.bold = true;
  every.append(QStringLiteral("bold link"), a);
  every.append(QStringLiteral("\ttabbed\tline\n"), TextAttributes());
  every.append(QStringLiteral("braces {} and \\ backslash; semicolons; \u2028line sep\n"),
               TextAttributes());
  a = TextAttributes();
  a.fontFamily = QStringLiteral("Noto Sans Hebrew");
  every.append(QStringLiteral("עברית\u200F and العربية"), a);
  every.append(QStringLiteral(" 😀𝄞 outside the BMP, café, €, Ω, 日本語\n"), TextAttributes());
  every.append(ql::AttributedText::attachment({QStringLiteral("image.png"), tinyPng()}));
  every.append(QStringLiteral(" and "), TextAttributes());
  a = TextAttributes();
  a.italic = true;
  every.append(
      ql::AttributedText::attachment({QStringLiteral("notes é.txt"), QByteArray("hello\0x", 7)}, a));
  every.append(QStringLiteral("\nlast"), TextAttributes());

  TextAttributes p;
  p.alignment = ql::TextAlignment::Center;
  paragraph(every, 0, p);
  p = TextAttributes();
  p.tabStops = {560, 1120, 2000};
  p.alignment = ql::TextAlignment::Left;
  paragraph(every, every.string().indexOf(QStringLiteral("tabbed")), p);
  p = TextAttributes();
  p.alignment = ql::TextAlignment::Right;
  p.leftIndent = 720;
  p.firstLineIndent = -360;
  paragraph(every, every.string().indexOf(QStringLiteral("עברית")), p);
  p = TextAttributes();
  p.alignment = ql::TextAlignment::Justified;
  paragraph(every, every.length() - 1, p);
  docs.push_back(every);

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
      QStringLiteral("\u0001"), QStringLiteral("\uFFFC"), QStringLiteral("  ")};
  static const QStringList fonts = {QStringLiteral("Helvetica"), QStringLiteral("Menlo"),
                                    QStringLiteral("Liberation Serif"), QStringLiteral("")};
  ql::AttributedText t;
  for (int i = 0; i < runs; ++i) {
    ql::TextAttributes a;
    a.fontFamily = fonts[rng.bounded(int(fonts.size()))];
    a.pointSize = rng.bounded(2, 60) / 2.0;
    a.bold = rng.bounded(2);
    a.italic = rng.bounded(2);
    a.underline = rng.bounded(2);
    a.strikethrough = rng.bounded(4) == 0;
    if (rng.bounded(3) == 0) a.foreground = ql::TextColor{quint8(rng.bounded(256)), 0, 9};
    if (rng.bounded(5) == 0) a.background = ql::TextColor{0, quint8(rng.bounded(256)), 0};
    if (rng.bounded(6) == 0) a.link = QStringLiteral("http://l/") + QString::number(rng.bounded(3));
    if (rng.bounded(10) == 0) {
      t.append(ql::AttributedText::attachment(
          {QStringLiteral("f%1.bin").arg(i), QByteArray::number(i)}, a));
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
