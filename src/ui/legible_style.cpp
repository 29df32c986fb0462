#include "ui/legible_style.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOption>

LegibleStyle::LegibleStyle(const QString& baseStyleName) : QProxyStyle(baseStyleName) {}

void LegibleStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
  QProxyStyle::drawPrimitive(element, option, painter, widget);
  if (element != PE_IndicatorCheckBox && element != PE_IndicatorRadioButton) return;
  if (!option || option->palette.color(QPalette::Window).lightness() >= 128) return;
  QColor outline = option->palette.color(QPalette::WindowText);
  outline.setAlphaF(option->state & State_Enabled ? 0.55 : 0.3);
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  painter->setPen(QPen(outline, 1));
  painter->setBrush(Qt::NoBrush);
  const QRectF box = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
  if (element == PE_IndicatorRadioButton)
    painter->drawEllipse(box);
  else
    painter->drawRoundedRect(box, 2, 2);
  painter->restore();
}

void LegibleStyle::install() {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  if (qobject_cast<LegibleStyle*>(QApplication::style())) return;
  QApplication::setStyle(new LegibleStyle(QApplication::style()->name()));
}
