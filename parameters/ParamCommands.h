#pragma once

#include "ParamResult.h"

#include <QStringList>

struct ParamContext;

// Widget-free entry points of the parameter operations for the command-line client.
// Each returns whether everything succeeded, the failed codes and one line per problem.
namespace ParamCommands {

// The given codes (page parameters or device data records), or the 22 page parameters
// when none is given. Page parameters succeed only with one of their list values.
ParamResult Get(ParamContext &context, const QStringList &codes);
// A page parameter takes digits only, at most four, as the page does; a device data record
// any value without control characters that fits the command. Other codes are refused.
ParamResult Set(ParamContext &context, const QString &code, const QString &value);
ParamResult Backup(ParamContext &context, const QString &file);
ParamResult Restore(ParamContext &context, const QString &file);
ParamResult Defaults(ParamContext &context);

// One to four digits: what the page's combo boxes hold, and a write needs a value.
bool IsPageInput(const QString &text);

// What Get or Set would refuse in these arguments, "CODE: why", before anything is sent;
// empty when they are sound.
QString GetProblem(const QStringList &codes);
QString SetProblem(const QString &code, const QString &value);

} // namespace ParamCommands
