#include "LangLog.h"

Q_LOGGING_CATEGORY(lcLang, "kt480.lang")
