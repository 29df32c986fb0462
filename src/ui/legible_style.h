#pragma once

#include <QProxyStyle>

// The desktop's style with one repair: on a dark palette the empty check
// boxes and radio buttons of some styles (Fusion among them) have an
// outline barely darker than the window, so they vanish. An outline in
// the text colour at half strength keeps them visible.
class LegibleStyle final : public QProxyStyle {
  Q_OBJECT

 public:
  explicit LegibleStyle(const QString& baseStyleName);

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

  // Installs it over the application's current style, once.
  static void install();
};
