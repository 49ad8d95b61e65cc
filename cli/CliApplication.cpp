#include "CliApplication.h"

#include <QGuiApplication>
#include <cstring>

namespace {

bool DrawsReport(int argc, char **argv)
{
    bool records = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "records") == 0)
            records = true;
        else if (records && std::strcmp(argv[i], "report") == 0)
            return true;
    }
    return false;
}

} // namespace

std::unique_ptr<QCoreApplication> CreateCliApplication(int &argc, char **argv)
{
    if (!DrawsReport(argc, argv))
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}
