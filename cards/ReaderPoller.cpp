#include "ReaderPoller.h"

#include "CardEnrolment.h"
#include "Comm.h"
#include "ReaderSearch.h"

#include <QScopeGuard>

ReaderPoller::ReaderPoller(Comm &comm, QObject *parent) : QObject(parent), comm_(comm)
{
    timer_.setInterval(Interval);
    connect(&timer_, &QTimer::timeout, this, &ReaderPoller::tick);
}

void ReaderPoller::start(const QString &readCommand)
{
    readCommand_ = readCommand;
    ++session_;
    unansweredInRow_ = 0;
    answering_ = true;
    timer_.start();
}

void ReaderPoller::stop()
{
    ++session_;
    timer_.stop();
}

void ReaderPoller::tick()
{
    if (polling_)
        return;
    polling_ = true;
    const auto done = qScopeGuard([this] { polling_ = false; });
    const quint64 session = session_;
    emit ticked();
    const int result = comm_.ReaderExchange(readCommand_, ReaderSearch::EchoLength);
    // Stopped while the reader was asked: what it said belongs to no one now.
    if (session != session_)
        return;
    noteAnswer(result == Comm::Accepted);
    if (result == Comm::Accepted && comm_.ReaderReplyLength() >= CardMinimumLength)
        emit cardRead(CardEnrolment::CardIdFromCode(comm_.ReaderReplyText()));
}

void ReaderPoller::noteAnswer(bool answered)
{
    unansweredInRow_ = answered ? 0 : unansweredInRow_ + 1;
    const bool answering = unansweredInRow_ < UnansweredPollsBeforeNotice;
    if (answering == answering_)
        return;
    answering_ = answering;
    emit answeringChanged(answering);
}
