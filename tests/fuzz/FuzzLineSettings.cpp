// A serial line settings text ("19200,e,8,1"): refused, or parsed into settings a port takes
// and that read back the same from their own text.
#include "FuzzTargets.h"
#include "SerialSettings.h"

namespace {

QString ParityLetter(QSerialPort::Parity parity)
{
    switch (parity) {
    case QSerialPort::NoParity:
        return QStringLiteral("n");
    case QSerialPort::EvenParity:
        return QStringLiteral("e");
    case QSerialPort::OddParity:
        return QStringLiteral("o");
    case QSerialPort::MarkParity:
        return QStringLiteral("m");
    case QSerialPort::SpaceParity:
        return QStringLiteral("s");
    }
    return {};
}

QString StopText(QSerialPort::StopBits stop)
{
    switch (stop) {
    case QSerialPort::OneStop:
        return QStringLiteral("1");
    case QSerialPort::OneAndHalfStop:
        return QStringLiteral("1.5");
    case QSerialPort::TwoStop:
        return QStringLiteral("2");
    }
    return {};
}

} // namespace

namespace Fuzz {

void LineSettings(QByteArrayView input)
{
    const std::optional<SerialSettings> parsed =
        SerialSettings::parse(QString::fromUtf8(input.data(), input.size()));
    if (!parsed)
        return;
    FUZZ_REQUIRE(parsed->baudRate > 0);
    FUZZ_REQUIRE(parsed->dataBits >= QSerialPort::Data5 && parsed->dataBits <= QSerialPort::Data8);
    const QString parity = ParityLetter(parsed->parity);
    const QString stop = StopText(parsed->stopBits);
    FUZZ_REQUIRE(!parity.isEmpty() && !stop.isEmpty());
    const QString text = QStringLiteral("%1,%2,%3,%4")
                             .arg(parsed->baudRate)
                             .arg(parity)
                             .arg(int(parsed->dataBits))
                             .arg(stop);
    const std::optional<SerialSettings> again = SerialSettings::parse(text);
    FUZZ_REQUIRE(again.has_value());
    FUZZ_REQUIRE(again->baudRate == parsed->baudRate && again->parity == parsed->parity &&
                 again->dataBits == parsed->dataBits && again->stopBits == parsed->stopBits);
}

} // namespace Fuzz
