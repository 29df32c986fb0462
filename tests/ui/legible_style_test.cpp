// Empty check boxes and radio buttons stay visible on a dark palette.
#include "ui/legible_style.h"

#include <QCheckBox>
#include <QImage>
#include <QPalette>
#include <QRadioButton>
#include <QStyleFactory>

#include <gtest/gtest.h>

#include <memory>

namespace {

QPalette dark() {
  QPalette p(QColor(53, 53, 56), QColor(45, 45, 48));
  p.setColor(QPalette::Base, QColor(30, 30, 32));
  p.setColor(QPalette::WindowText, QColor(230, 230, 230));
  p.setColor(QPalette::Text, QColor(230, 230, 230));
  return p;
}

// The strongest lightness step between the indicator and the window.
int indicatorContrast(QStyle* style, QWidget* box) {
  box->setStyle(style);
  box->setPalette(dark());
  box->resize(box->sizeHint());
  const QImage image = box->grab().toImage();
  const int window = dark().color(QPalette::Window).lightness();
  const int indicatorWidth = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box);
  int most = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < qMin(image.width(), indicatorWidth + 4); ++x)
      most = qMax(most, qAbs(QColor(image.pixel(x, y)).lightness() - window));
  return most;
}

TEST(LegibleStyle, EmptyIndicatorsStandOutOnADarkWindow) {
  std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
  LegibleStyle legible(QStringLiteral("Fusion"));
  for (QWidget* box : std::initializer_list<QWidget*>{new QCheckBox(QStringLiteral("Offer")),
                                                      new QRadioButton(QStringLiteral("Skip"))}) {
    EXPECT_LT(indicatorContrast(fusion.get(), box), 40);  // what users saw
    EXPECT_GT(indicatorContrast(&legible, box), 70);
    delete box;
  }
}

}  // namespace
