#pragma once

#include <QFrame>

// A panel that reports clicks on its own area (not on the controls it holds). Its size
// comes from the layout of the controls it holds.
class ClickablePanel : public QFrame
{
    Q_OBJECT

public:
    using QFrame::QFrame;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
