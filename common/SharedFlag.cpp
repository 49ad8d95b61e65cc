#include "SharedFlag.h"

void SharedFlag::set(bool on)
{
    if (set_ == on)
        return;
    set_ = on;
    emit changed(on);
}
