#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class TfrmKT480NT5;

// Saves a picture of the main window once its connection attempt is over (or after a
// time limit) and ends the program: the exit code is 0 when the picture was written.
class WindowScreenshot : public QObject
{
    Q_OBJECT

public:
    WindowScreenshot(TfrmKT480NT5 &window, const QString &filePath);

private:
    void check();
    void save();

    TfrmKT480NT5 &window_;
    QString filePath_;
    QTimer timeLimit_;
};
