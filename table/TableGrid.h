#pragma once

#include <QObject>
#include <QStyle>

class QLabel;
class QStatusBar;
class QTableView;
class QToolButton;
class QWidget;
class TableStore;
class TableStoreModel;

// The read-only grid over a table store and the toolbar that walks it, as the card and
// record windows show them: whole rows selected, the grid following the table's cursor and
// the cursor following a click; First, Prev, Next and Last move the cursor, Delete removes
// the current row without a question, and a wheel turn over the grid moves one row.
class TableGrid : public QObject
{
    Q_OBJECT

public:
    struct Buttons
    {
        QToolButton *btnDelete = nullptr;
        QToolButton *btnFirst = nullptr;
        QToolButton *btnPrev = nullptr;
        QToolButton *btnNext = nullptr;
        QToolButton *btnLast = nullptr;
    };
    struct StatusPanels
    {
        QStatusBar *bar = nullptr;
        QLabel *mode = nullptr;    // panel 0, 100 pixels, centred
        QLabel *message = nullptr; // panel 1, at least 400 pixels
    };

    // The grid shows the model; its viewport's wheel turns move the cursor.
    TableGrid(TableStore &table, TableStoreModel &model, QTableView *view, QObject *parent);

    // A flat 38 by 38 toolbar button with a standard icon.
    static QToolButton *ToolButton(QWidget *parent, const QString &name,
                                   QStyle::StandardPixmap icon);
    // The delete and navigation buttons, each a ToolButton of the bar.
    static Buttons NavigationButtons(QWidget *bar);
    static StatusPanels StatusBar(QWidget *parent);

    void connectButtons(const Buttons &buttons);
    // False when the table is inactive or empty, or the cursor stayed where it was at an end.
    bool move(void (TableStore::*step)());
    void deleteCurrent();
    // Selects the table's current row in the grid.
    void syncSelection();

signals:
    // A move found the cursor at an end already.
    void moveFailed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TableStore &table_;
    TableStoreModel &model_;
    QTableView *view_;
    // Kept apart from view_: the viewport reports its own destruction after the view has
    // stopped being a scroll area.
    const QObject *viewport_;
};
