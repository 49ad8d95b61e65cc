#pragma once

#include <QLabel>

// A panel that reports clicks on its own area (not on the controls it holds).
class ClickablePanel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
