#include "Look.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QStyleFactory>

namespace layra::gui {

void ApplyLook(QApplication& application) {
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QPalette colours;
  colours.setColor(QPalette::Window, QColor(0xe4, 0xe4, 0xe4));
  colours.setColor(QPalette::Base, QColor(0xfb, 0xfb, 0xfb));
  colours.setColor(QPalette::AlternateBase, QColor(0xef, 0xf1, 0xf4));
  colours.setColor(QPalette::Button, QColor(0xec, 0xec, 0xec));
  colours.setColor(QPalette::Mid, QColor(0xc4, 0xc4, 0xc4));
  colours.setColor(QPalette::Midlight, QColor(0xe2, 0xe4, 0xe8));
  colours.setColor(QPalette::Highlight, QColor(0x2a, 0x6c, 0xd6));
  colours.setColor(QPalette::HighlightedText, QColor(0xff, 0xff, 0xff));
  colours.setColor(QPalette::WindowText, QColor(0x1e, 0x1e, 0x1e));
  colours.setColor(QPalette::Text, QColor(0x1e, 0x1e, 0x1e));
  colours.setColor(QPalette::ButtonText, QColor(0x1e, 0x1e, 0x1e));
  // What cannot be used now is drawn faded, so that it does not look available.
  const QColor faded(0x9a, 0x9a, 0x9a);
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    colours.setColor(QPalette::Disabled, role, faded);
  // Fusion draws disabled menu text with an embossed light copy below it; none is wanted.
  colours.setColor(QPalette::Disabled, QPalette::Light, QColor(0, 0, 0, 0));
  QApplication::setPalette(colours);
  QFont type(QStringLiteral("DejaVu Sans"));
  type.setPixelSize(11);
  application.setFont(type);
}

} // namespace layra::gui
