#include "content/text/html_export.h"

#include "text_corpus.h"

#include <gtest/gtest.h>

using ql::AttributedText;
using ql::TextAttributes;

TEST(HtmlExport, AFragmentWithFormattingElementsAndStyles) {
  AttributedText t(QStringLiteral("a < b & \"c\""));
  t.append(QStringLiteral("styled"),
           {.fontFamily = QStringLiteral("Liberation \"Sans\""), .pointSize = 13.5, .bold = true, .italic = true,
            .underline = true, .strikethrough = true, .foreground = ql::TextColor{255, 0, 16},
            .background = ql::TextColor{0, 0, 0}, .link = QStringLiteral("https://x.org/?a=1&b=\"2\"")});
  t.append(QStringLiteral("\n\ncentre\u2028d"), TextAttributes());
  corpus::paragraph(t, t.length() - 1, {.alignment = ql::TextAlignment::Center, .leftIndent = 720});
  const QString html = htmlFragment(t);
  for (const char* wrapper : {"<!DOCTYPE", "<html", "<head", "<body", "<?xml"})
    EXPECT_FALSE(html.contains(QLatin1String(wrapper), Qt::CaseInsensitive)) << wrapper;
  EXPECT_TRUE(html.contains(QLatin1String("a &lt; b &amp; &quot;c&quot;")));
  EXPECT_TRUE(html.contains(QLatin1String("<a href=\"https://x.org/?a=1&amp;b=&quot;2&quot;\">")));
  EXPECT_TRUE(html.contains(QLatin1String("<b><i><u><s>styled</s></u></i></b>")));
  EXPECT_TRUE(html.contains(QLatin1String("color: #ff0010")));
  EXPECT_TRUE(html.contains(QLatin1String("background-color: #000000")));
  EXPECT_TRUE(html.contains(QLatin1String("font-family: 'Liberation Sans'; font-size: 13.5pt")));
  EXPECT_EQ(html.count(QLatin1String("<p ")), 3);  // the empty paragraph too
  EXPECT_TRUE(html.contains(QLatin1String("<br></p>")));
  EXPECT_TRUE(html.contains(QLatin1String("text-align: center; margin-left: 36pt")));
  EXPECT_TRUE(html.contains(QLatin1String("centre<br>d")));
}

TEST(HtmlExport, ImagesBecomeDataUrlsAndOtherFilesAreLeftOut) {
  AttributedText t(QStringLiteral("["));
  t.append(AttributedText::attachment({QStringLiteral("i.png"), corpus::tinyPng()}));
  t.append(AttributedText::attachment({QStringLiteral("n.txt"), QByteArray("text")}));
  t.append(QStringLiteral("]"), TextAttributes());
  const QString html = htmlFragment(t);
  EXPECT_TRUE(html.contains(QLatin1String("<img src=\"data:image/png;base64,") +
                            QLatin1String(corpus::tinyPng().toBase64()) +
                            QLatin1String("\" alt=\"i.png\" width=\"2\" height=\"3\">")));
  EXPECT_FALSE(html.contains(QLatin1String("n.txt")));
  EXPECT_EQ(html.count(QLatin1String("<span")), 3);  // "[", the image, "]"; no empty one
  EXPECT_FALSE(html.contains(QChar(0xFFFC)));
  EXPECT_TRUE(htmlFragment(AttributedText()).isEmpty());
}
