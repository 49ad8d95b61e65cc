#include "CircleIndicator.h"

#include <QPainter>

CircleIndicator::CircleIndicator(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ShapeCircle"));
}

void CircleIndicator::toggle()
{
    lit_ = !lit_;
    update();
}

void CircleIndicator::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setBrush(lit_ ? QColor(Qt::blue) : palette().color(QPalette::Window));
    painter.drawEllipse(rect().adjusted(1, 1, -1, -1));
}
