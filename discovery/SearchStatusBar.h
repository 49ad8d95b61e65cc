#pragma once

#include <QColor>
#include <QWidget>

class QLabel;

// The status bar of the search windows: a 30-pixel panel with the circle that blinks while a
// search runs, and a panel with the scan text, as wide in both windows.
class SearchStatusBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int CirclePanelWidth = 30;
    static constexpr int TextPanelWidth = 230;

    explicit SearchStatusBar(QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const;
    // One blink step: blue, then the window colour.
    void blink();
    // The circle in the window colour.
    void rest();
    QColor circleColour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Square, the bar's height less 6, 3 pixels from the left, centred vertically.
    QRect circleRect() const;

    QLabel *text_ = nullptr;
    QColor colour_;
};
