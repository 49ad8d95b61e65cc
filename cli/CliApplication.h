#pragma once

#include <QCoreApplication>
#include <memory>

// The application object of kt480ctl. The record report draws text, and fonts need a GUI
// application; that verb gets one on the off-screen platform, every other verb a plain one.
std::unique_ptr<QCoreApplication> CreateCliApplication(int &argc, char **argv);
