#pragma once

#include <QObject>

class QWidget;

// Makes a widget without a click of its own report left clicks: a captioned panel that acts
// as a button, or the empty area of a panel (its controls keep their own clicks).
class ClickWatcher : public QObject
{
    Q_OBJECT

public:
    explicit ClickWatcher(QWidget *widget);

signals:
    void clicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *widget_;
};
