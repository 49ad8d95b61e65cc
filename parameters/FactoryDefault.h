#pragma once

#include <QList>
#include <QString>

// One entry of the factory-default table that "Default" writes.
struct FactoryDefault
{
    QString code;
    QString value;
    bool sent = true; // AF17 and AF18 have no page control and are not written
};

const QList<FactoryDefault> &FactoryDefaults();

// Sent after the defaults so the controller takes them over.
inline constexpr char DefaultsClosingCode[] = "AR00";
