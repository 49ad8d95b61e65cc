#include "WholeFileCommit.h"

#include <QSaveFile>

bool CommitWhole(QSaveFile &file)
{
    return file.flush() && file.commit();
}
