#pragma once

#include "ParamResult.h"

#include <QMap>
#include <QObject>
#include <functional>

class ParamTransfer;

// Reading and writing the 22 page parameters, one or all, without any widget: the window
// and the command-line client both drive it.
class PageParameterIo : public QObject
{
    Q_OBJECT

public:
    // Silent rows in a row after which Read all and Write all check that the controller
    // still answers.
    static constexpr int SilenceBeforeCheck = 3;

    explicit PageParameterIo(ParamTransfer &transfer, QObject *parent = nullptr);

    // Succeeds with the value when the controller answers with one of the row's items.
    ParamResult readOne(int number);
    // Sends the value as given (a typed value is not checked against the items); an empty
    // value is not sent.
    ParamResult writeOne(int number, const QString &value);

    // Every page parameter in catalogue order; a failed row does not stop the run, but a
    // controller that no longer answers does: the rows left are named as not read.
    ParamResult readAll();
    // Values by parameter number; a missing value fails its row. Stops, as readAll does,
    // when the controller no longer answers.
    ParamResult writeAll(const QMap<int, QString> &values);

signals:
    void rowStarted(int number, bool writing);
    void rowRead(int number, const QString &value);
    void rowFinished(int number, bool succeeded);

private:
    ParamResult runAll(const std::function<ParamResult(int number)> &row, bool writing);

    ParamTransfer &transfer_;
};
