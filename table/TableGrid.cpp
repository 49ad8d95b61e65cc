#include "TableGrid.h"

#include "TableStore.h"
#include "TableStoreModel.h"

#include <QEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QWheelEvent>

TableGrid::TableGrid(TableStore &table, TableStoreModel &model, QTableView *view, QObject *parent)
    : QObject(parent), table_(table), model_(model), view_(view), viewport_(view->viewport())
{
    view_->setModel(&model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->viewport()->installEventFilter(this);
    connect(&model_, &TableStoreModel::currentRowChanged, this, &TableGrid::syncSelection);
    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && current.row() + 1 != table_.RecNo())
                    table_.SetRecNo(current.row() + 1);
            });
}

QToolButton *TableGrid::ToolButton(QWidget *parent, const QString &name,
                                   QStyle::StandardPixmap icon)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setIconSize(QSize(24, 24));
    button->setFixedSize(38, 38);
    return button;
}

TableGrid::Buttons TableGrid::NavigationButtons(QWidget *bar)
{
    return {ToolButton(bar, QStringLiteral("btnDelete"), QStyle::SP_TrashIcon),
            ToolButton(bar, QStringLiteral("btnFirst"), QStyle::SP_MediaSkipBackward),
            ToolButton(bar, QStringLiteral("btnPrev"), QStyle::SP_MediaSeekBackward),
            ToolButton(bar, QStringLiteral("btnNext"), QStyle::SP_MediaSeekForward),
            ToolButton(bar, QStringLiteral("btnLast"), QStyle::SP_MediaSkipForward)};
}

TableGrid::StatusPanels TableGrid::StatusBar(QWidget *parent)
{
    StatusPanels panels;
    panels.bar = new QStatusBar(parent);
    panels.bar->setObjectName(QStringLiteral("sbMain"));
    panels.bar->setSizeGripEnabled(false);
    panels.mode = new QLabel(panels.bar);
    panels.mode->setObjectName(QStringLiteral("sbMode"));
    panels.mode->setAlignment(Qt::AlignCenter);
    panels.mode->setFixedWidth(100);
    panels.message = new QLabel(panels.bar);
    panels.message->setObjectName(QStringLiteral("sbMessage"));
    panels.message->setMinimumWidth(400);
    panels.bar->addWidget(panels.mode);
    panels.bar->addWidget(panels.message, 1);
    return panels;
}

void TableGrid::connectButtons(const Buttons &buttons)
{
    connect(buttons.btnDelete, &QToolButton::clicked, this, &TableGrid::deleteCurrent);
    connect(buttons.btnFirst, &QToolButton::clicked, this, [this] { move(&TableStore::First); });
    connect(buttons.btnPrev, &QToolButton::clicked, this, [this] { move(&TableStore::Prior); });
    connect(buttons.btnNext, &QToolButton::clicked, this, [this] { move(&TableStore::Next); });
    connect(buttons.btnLast, &QToolButton::clicked, this, [this] { move(&TableStore::Last); });
}

bool TableGrid::move(void (TableStore::*step)())
{
    if (!table_.Active() || table_.IsEmpty())
        return false;
    const int before = table_.RecNo();
    (table_.*step)();
    syncSelection();
    if (table_.RecNo() == before && (table_.Eof() || table_.Bof())) {
        emit moveFailed();
        return false;
    }
    return true;
}

void TableGrid::deleteCurrent()
{
    if (table_.Active() && !table_.IsEmpty())
        table_.Delete();
    syncSelection();
}

void TableGrid::syncSelection()
{
    const int row = table_.RecNo() - 1;
    if (row >= 0 && model_.isAttached())
        view_->selectRow(row);
}

bool TableGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel || watched != viewport_)
        return QObject::eventFilter(watched, event);
    if (table_.Active()) {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        move(wheel->angleDelta().y() < 0 ? &TableStore::Next : &TableStore::Prior);
    }
    return true;
}
