#pragma once

#include <QColor>
#include <QWidget>

// The connection circle in the status bar: blinking blue while a connection is attempted,
// blue when connected, red after a failure.
class StatusIndicator : public QWidget
{
    Q_OBJECT

public:
    explicit StatusIndicator(QWidget *parent = nullptr);

    void setColour(const QColor &colour);
    QColor colour() const { return colour_; }
    // One blink step: blue, then the window colour, then blue again.
    void toggleBlink();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor colour_;
};
