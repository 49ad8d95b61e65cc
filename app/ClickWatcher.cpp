#include "ClickWatcher.h"

#include <QMouseEvent>
#include <QWidget>

ClickWatcher::ClickWatcher(QWidget *widget) : QObject(widget), widget_(widget)
{
    widget_->installEventFilter(this);
}

bool ClickWatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != widget_)
        return false;
    if (event->type() == QEvent::MouseButtonPress) {
        // Taken, so that the release comes here too.
        event->accept();
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton &&
            widget_->rect().contains(mouse->position().toPoint()))
            emit clicked();
        event->accept();
        return true;
    }
    return false;
}
