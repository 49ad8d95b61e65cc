#pragma once

#include <QWidget>

// The small circle in the card window's status bar that blinks while quick add polls the
// reader: blue, then the window's colour, at every poll.
class CircleIndicator : public QWidget
{
    Q_OBJECT

public:
    explicit CircleIndicator(QWidget *parent = nullptr);

    void toggle();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool lit_ = false;
};
