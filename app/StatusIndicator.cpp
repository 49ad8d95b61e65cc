#include "StatusIndicator.h"

#include <QPainter>

StatusIndicator::StatusIndicator(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ShapeIndicator"));
    colour_ = palette().color(QPalette::Window);
}

void StatusIndicator::setColour(const QColor &colour)
{
    colour_ = colour;
    update();
}

void StatusIndicator::toggleBlink()
{
    setColour(colour_ == QColor(Qt::blue) ? palette().color(QPalette::Window) : QColor(Qt::blue));
}

void StatusIndicator::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = qMin(width(), height()) - 2;
    const QRect circle((width() - side) / 2, (height() - side) / 2, side, side);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setBrush(colour_);
    painter.drawEllipse(circle);
}
