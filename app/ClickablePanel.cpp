#include "ClickablePanel.h"

#include <QMouseEvent>

void ClickablePanel::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void ClickablePanel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    event->accept();
}
