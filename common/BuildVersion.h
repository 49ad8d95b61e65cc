#pragma once

#include <QString>

// The program's version for --version: the project version, and the git revision when it was
// built from a checkout ("0.1 (git 4369d6a)"; "-dirty" when files were changed), else the
// version alone ("0.1").
QString BuildVersionText();
