#include "SearchStatusBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

SearchStatusBar::SearchStatusBar(QWidget *parent)
    : QWidget(parent), colour_(palette().color(QPalette::Window))
{
    setObjectName(QStringLiteral("sbMain"));
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("sbMainText"));
    text_->setMinimumWidth(TextPanelWidth);
    text_->setFrameShape(QFrame::StyledPanel);
    text_->setFrameShadow(QFrame::Sunken);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(CirclePanelWidth + 2, 2, 2, 2);
    layout->addWidget(text_, 1);
    setMinimumHeight(24);
}

void SearchStatusBar::setText(const QString &text)
{
    text_->setText(text);
}

QString SearchStatusBar::text() const
{
    return text_->text();
}

void SearchStatusBar::blink()
{
    colour_ = colour_ == QColor(Qt::blue) ? palette().color(QPalette::Window) : QColor(Qt::blue);
    update(circleRect().adjusted(-1, -1, 1, 1));
}

void SearchStatusBar::rest()
{
    colour_ = palette().color(QPalette::Window);
    update();
}

QRect SearchStatusBar::circleRect() const
{
    const int side = qMax(4, height() - 6);
    return {3, (height() - side) / 2, side, side};
}

void SearchStatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(QRect(0, 0, CirclePanelWidth, height() - 1));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setBrush(colour_);
    painter.drawEllipse(circleRect());
}
