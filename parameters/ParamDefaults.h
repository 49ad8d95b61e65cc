#pragma once

#include "ParamResult.h"

#include <QCoreApplication>

class Language;
class ParamTransfer;

// "Default": writes the factory values of the page parameters in table order, stops at the
// first entry the controller does not take, and always closes with "AR00". The result's
// values are the entries the controller confirmed, so a page shows only what it holds.
class ParamDefaults
{
    Q_DECLARE_TR_FUNCTIONS(ParamDefaults)

public:
    static constexpr int ProgressMaximum = 24;

    ParamDefaults(ParamTransfer &transfer, const Language &language);

    ParamResult apply();

private:
    ParamTransfer &transfer_;
    const Language &language_;
};
