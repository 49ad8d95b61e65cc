#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>

// Answers the real message boxes of a window test as a person does, from inside their modal
// loops: through the window system, with a click on a button or a key. Each box's text is
// kept in `asked`; `onBox` may look at the screen first. The watch ends with the object.
class BoxAnswerer : public QObject
{
public:
    enum class Answer
    {
        Yes,   // a click on Yes (OK where there is no Yes)
        No,    // a click on No (OK where there is no No)
        Enter, // the Enter key: the box's default button
    };

    explicit BoxAnswerer(Answer first = Answer::Yes) : answer(first)
    {
        poll_.setInterval(10);
        connect(&poll_, &QTimer::timeout, this, [this] { answerShownBox(); });
        poll_.start();
    }

    Answer answer = Answer::Yes;
    // Questions take these first, then `answer`; boxes with an OK button only are clicked OK.
    QList<Answer> answers;
    QStringList asked;
    std::function<void(QMessageBox &)> onBox;

private:
    void answerShownBox()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || !box->windowHandle() || !box->windowHandle()->isExposed())
            return;
        // A box answered by Enter closes a moment later (its button animates the click).
        if (box == answered_)
            return;
        answered_ = box;
        poll_.stop();
        asked << box->text();
        if (onBox)
            onBox(*box);
        QAbstractButton *ok = box->button(QMessageBox::Ok);
        const Answer chosen = ok ? Answer::Yes : (answers.isEmpty() ? answer : answers.takeFirst());
        if (chosen == Answer::Enter) {
            QTest::keyClick(box->windowHandle(), Qt::Key_Return);
        } else {
            QAbstractButton *button =
                ok ? ok : box->button(chosen == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
            const QPoint at = button->mapTo(box, button->rect().center());
            QTest::mouseClick(box->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
        }
        poll_.start();
    }

    QTimer poll_;
    QPointer<QMessageBox> answered_;
};
