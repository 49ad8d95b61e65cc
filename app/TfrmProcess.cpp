#include "TfrmProcess.h"

#include "StatusIndicator.h"

#include <Language.h>
#include <LanguageFont.h>
#include <ProgressState.h>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <TextRow.h>

TfrmProcess::TfrmProcess(ProgressState &progress, const Language &language, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      progress_(progress), language_(language)
{
    setObjectName(QStringLiteral("frmProcess"));
    setWindowModality(Qt::ApplicationModal);

    lblProcessName = new QLabel(this);
    lblProcessName->setObjectName(QStringLiteral("lblProcessName"));
    lblProcessName->setAlignment(Qt::AlignCenter);
    lblProcessName->setMinimumSize(366, 25);

    ShapeImage = new StatusIndicator(this);
    ShapeImage->setObjectName(QStringLiteral("ShapeImage"));
    ShapeImage->setFixedSize(25, 25);
    ShapeImage->hide();

    prbMain = new QProgressBar(this);
    prbMain->setObjectName(QStringLiteral("prbMain"));
    prbMain->setRange(0, 9999999);
    prbMain->setMinimumSize(400, 23);
    prbMain->setTextVisible(false);

    btnCancel = new QPushButton(this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setMinimumSize(200, 33);
    btnCancel->hide();
    connect(btnCancel, &QPushButton::clicked, this, &TfrmProcess::btnCancelClick);

    auto *labelRow = new QHBoxLayout;
    labelRow->addWidget(lblProcessName, 1);
    labelRow->addWidget(ShapeImage);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(labelRow);
    layout->addWidget(prbMain);
    layout->addWidget(btnCancel, 0, Qt::AlignHCenter);

    tmrProcess.setInterval(100);
    connect(&tmrProcess, &QTimer::timeout, this, &TfrmProcess::tmrProcessTimer);
    connect(&progress_, &ProgressState::started, this, &TfrmProcess::operationStarted);
    connect(&progress_, &ProgressState::finished, this, &TfrmProcess::operationFinished);
    connect(&progress_, &ProgressState::promptOpened, this, &TfrmProcess::promptOpened);
    connect(&progress_, &ProgressState::promptClosed, this, &TfrmProcess::promptClosed);
}

void TfrmProcess::centreOn(const QWidget *window)
{
    if (!window)
        return;
    adjustSize();
    const QRect area = window->frameGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void TfrmProcess::btnCancelClick()
{
    progress_.requestStop();
}

void TfrmProcess::operationStarted()
{
    ApplyLanguageFont(this, language_.EffectiveIndex());
    btnCancel->setText(language_.TableText(TextRow::CancelButton));
    lblProcessName->clear();
    btnCancel->setVisible(progress_.stopOffered());
    ShapeImage->setVisible(progress_.stopOffered());
    if (!isVisible())
        centreOn(parentWidget());
    showState();
    if (progress_.promptOpen())
        return;
    tmrProcess.start();
    show();
}

void TfrmProcess::operationFinished()
{
    tmrProcess.stop();
    showState();
    btnCancel->hide();
    ShapeImage->hide();
    repaint();
    hide();
}

void TfrmProcess::promptOpened()
{
    tmrProcess.stop();
    hide();
}

void TfrmProcess::promptClosed()
{
    if (!progress_.running())
        return;
    showState();
    tmrProcess.start();
    show();
}

void TfrmProcess::reject() {}

void TfrmProcess::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

void TfrmProcess::tmrProcessTimer()
{
    if (ShapeImage->isVisible())
        ShapeImage->toggleBlink();
    raise();
    showState();
    QCoreApplication::processEvents();
}

void TfrmProcess::showState()
{
    setWindowTitle(progress_.title());
    // A maximum of 0 shows an empty bar whatever the position.
    const int maximum = progress_.maximum();
    prbMain->setMaximum(qMax(maximum, 1));
    prbMain->setValue(maximum <= 0 ? 0 : qBound(0, progress_.position(), maximum));
    lblProcessName->setText(progress_.text());
    update();
}
