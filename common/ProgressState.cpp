#include "ProgressState.h"

void ProgressState::setTitle(const QString &title)
{
    title_ = title;
    emit changed();
}

void ProgressState::setText(const QString &text)
{
    text_ = text;
    emit changed();
}

void ProgressState::setPosition(int position)
{
    position_ = position;
    emit changed();
}

void ProgressState::setMaximum(int maximum)
{
    maximum_ = maximum;
    emit changed();
}

void ProgressState::setSteps(qint64 done, qint64 total)
{
    stepsGiven_ = true;
    stepsDone_ = done;
    stepsTotal_ = total;
    emit changed();
}

void ProgressState::requestStop()
{
    stopRequested_ = true;
    emit stopRequestedChanged();
}

void ProgressState::begin(const QString &title, const QString &text, int maximum, bool offerStop)
{
    title_ = title;
    text_ = text;
    position_ = 1;
    maximum_ = maximum;
    stepsGiven_ = false;
    stopRequested_ = false;
    stopOffered_ = offerStop;
    running_ = true;
    emit changed();
    emit started();
}

void ProgressState::end()
{
    maximum_ = 0;
    position_ = 1;
    text_.clear();
    stopOffered_ = false;
    running_ = false;
    emit changed();
    emit finished();
}

void ProgressState::beginPrompt()
{
    if (++openPrompts_ == 1)
        emit promptOpened();
}

void ProgressState::endPrompt()
{
    if (openPrompts_ > 0 && --openPrompts_ == 0)
        emit promptClosed();
}
