#include "CardsLog.h"

Q_LOGGING_CATEGORY(lcCards, "kt480.cards")
