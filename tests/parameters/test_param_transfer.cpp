#include "FactoryDefault.h"
#include "PageParameter.h"
#include "PageParameterIo.h"
#include "ParamDefaults.h"
#include "ParamSite.h"

#include <QTest>

namespace {

ControllerData Configured()
{
    ControllerData data = ControllerData::factory();
    data.parameters["AF13"] = "077";
    data.parameters["AF14"] = "0123";
    data.parameters["AF62"] = "010";
    data.parameters["AF66"] = "1";
    return data;
}

// Every page parameter away from its default, and AF17/AF18 marked.
ControllerData AwayFromDefaults()
{
    ControllerData data = ControllerData::factory();
    for (const PageParameter &p : PageParameters())
        data.parameters[p.code().toLatin1()] =
            p.item(p.highest == p.lowest ? p.lowest : p.highest).toLatin1();
    data.parameters["AF17"] = "7";
    data.parameters["AF18"] = "4321";
    return data;
}

FaultSettings ErrorOn(std::initializer_list<const char *> codes)
{
    FaultSettings faults;
    for (const char *code : codes)
        faults.errorCodes.insert(code, 'A');
    return faults;
}

} // namespace

class TestParamTransfer : public QObject
{
    Q_OBJECT

private slots:
    void readAllAndReadOne_data() { AddVias(); }
    void readAllAndReadOne()
    {
        QFETCH(Via, via);
        ParamSite site(via, Configured());
        PageParameterIo io(site.transfer);
        QList<int> started;
        connect(&io, &PageParameterIo::rowStarted, this,
                [&](int number, bool writing) { started << (writing ? -number : number); });

        const ParamResult all = io.readAll();
        QVERIFY2(all.success, qPrintable(all.reportText()));
        QCOMPARE(all.reportText(), QStringLiteral("OK!"));
        QCOMPARE(all.values.size(), 22);
        QCOMPARE(all.valueOf(QStringLiteral("AF13")), QStringLiteral("077"));
        QCOMPARE(all.valueOf(QStringLiteral("AF14")), QStringLiteral("0123"));
        QCOMPARE(all.valueOf(QStringLiteral("AF62")), QStringLiteral("010"));
        QCOMPARE(all.valueOf(QStringLiteral("AF01")), QStringLiteral("0"));
        QCOMPARE(started.size(), 22);
        QCOMPARE(started.first(), 1);
        QCOMPARE(started.last(), 66);
        QCOMPARE(site.sentCommands().first(), QStringLiteral("0001AF01"));
        QVERIFY(!site.clockReadPaused.isSet());
    }

    void replyOutsideTheListOrEmptyFails()
    {
        ControllerData data = Configured();
        data.parameters["AF14"] = "60";
        data.parameters["AF13"] = "";
        data.parameters["AF12"] = "003";
        ParamSite site(Via::Tcp, data);
        PageParameterIo io(site.transfer);
        for (const int number : {12, 13, 14}) {
            const ParamResult one = io.readOne(number);
            QVERIFY(!one.success);
            QCOMPARE(one.failedCodes, QStringList{ParamCode(number)});
            QVERIFY(one.values.isEmpty());
        }
        const ParamResult all = io.readAll();
        QVERIFY(!all.success);
        QCOMPARE(all.failedCodes, (QStringList{QStringLiteral("AF12"), QStringLiteral("AF13"),
                                               QStringLiteral("AF14")}));
        QCOMPARE(all.values.size(), 19);
        QVERIFY(all.reportText().startsWith(QStringLiteral("Error!\n")));
        QVERIFY(all.reportText().contains(QStringLiteral("AF14")));
    }

    void writeOneAndWriteAll_data() { AddVias(); }
    void writeOneAndWriteAll()
    {
        QFETCH(Via, via);
        ParamSite site(via);
        PageParameterIo io(site.transfer);
        QVERIFY(io.writeOne(13, QStringLiteral("200")).success);
        QCOMPARE(site.state().parameters.value("AF13"), QByteArray("200"));
        QVERIFY(site.sentCommands().contains(QStringLiteral("0001AF13200")));
        // A typed value is sent as typed, without leading zeros.
        QVERIFY(io.writeOne(14, QStringLiteral("60")).success);
        QCOMPARE(site.state().parameters.value("AF14"), QByteArray("60"));

        QMap<int, QString> values;
        for (const PageParameter &p : PageParameters())
            values.insert(p.number, p.item(p.lowest));
        values.insert(63, QStringLiteral("099"));
        const ParamResult all = io.writeAll(values);
        QVERIFY2(all.success, qPrintable(all.reportText()));
        const ControllerData after = site.state();
        for (const PageParameter &p : PageParameters())
            QCOMPARE(after.parameters.value(p.code().toLatin1()),
                     values.value(p.number).toLatin1());
    }

    void writeAllNamesTheRowsTheControllerRefused()
    {
        ParamSite site(Via::Tcp);
        site.sim->setFaults(ErrorOn({"AF15", "AF64"}));
        PageParameterIo io(site.transfer);
        QMap<int, QString> values;
        for (const PageParameter &p : PageParameters())
            values.insert(p.number, p.defaultValue);
        values.insert(13, QStringLiteral("100"));
        values.remove(1);
        const ParamResult all = io.writeAll(values);
        QVERIFY(!all.success);
        QCOMPARE(all.failedCodes, (QStringList{QStringLiteral("AF01"), QStringLiteral("AF15"),
                                               QStringLiteral("AF64")}));
        QVERIFY(all.reportText().contains(QStringLiteral("AF01: no value to write")));
        QVERIFY(all.reportText().contains(QStringLiteral("AF15")));
        QVERIFY(all.reportText().contains(QStringLiteral("AF64")));
        QCOMPARE(site.state().parameters.value("AF13"), QByteArray("100"));
        // A row without a value is not sent: its bare code would be a read.
        QVERIFY(!site.sentCommands().contains(QStringLiteral("0001AF01")));
        QCOMPARE(site.sentCommands().count(QStringLiteral("0001AF153")), ParamTransfer::Attempts);
    }

    void retriesRideOverCorruptedAndDroppedReplies()
    {
        ParamSite site(Via::Tcp, Configured());
        FaultSettings faults;
        faults.corruptShare = 0.25;
        faults.dropShare = 0.02;
        site.sim->setFaults(faults);
        PageParameterIo io(site.transfer);
        const ParamResult all = io.readAll();
        QVERIFY2(all.success, qPrintable(all.reportText()));
        QCOMPARE(all.valueOf(QStringLiteral("AF14")), QStringLiteral("0123"));
        QVERIFY(site.transfer.exchangeCount() > 22);
    }

    void fiveAttemptsThenFailureAndProgressPerCall()
    {
        ParamSite site(Via::Tcp);
        site.sim->setFaults(ErrorOn({"AF13"}));
        QList<bool> pausedStates;
        connect(&site.clockReadPaused, &SharedFlag::changed, this,
                [&](bool on) { pausedStates << on; });
        site.progress.begin(QStringLiteral("t"), QStringLiteral("x"), 100, false);
        QVERIFY(!site.transfer.transfer(QStringLiteral("AF13"), QStringLiteral("AF")));
        QVERIFY(!site.transfer.lastReply().silent());
        QCOMPARE(site.transfer.lastReply().result, int(Comm::ControllerErrorA));
        QVERIFY(site.transfer.transfer(QStringLiteral("AF14"), QStringLiteral("AF")));
        QCOMPARE(site.transfer.exchangeCount(), quint64(ParamTransfer::Attempts + 1));
        QCOMPARE(site.progress.position(), 3);
        QCOMPARE(pausedStates, (QList<bool>{true, false, true, false}));
        site.progress.end();
        // Without a bulk operation the position stays.
        QVERIFY(site.transfer.transfer(QStringLiteral("AF14"), QStringLiteral("AF")));
        QCOMPARE(site.progress.position(), 1);
    }

    void serialNumberCheck()
    {
        ParamSite site(Via::Tcp);
        QVERIFY(site.transfer.controllerAnswers());
        FaultSettings silent;
        silent.silentCodes.insert("AS");
        site.sim->setFaults(silent);
        QVERIFY(!site.transfer.controllerAnswers());
        QVERIFY(!site.clockReadPaused.isSet());
    }

    void defaultsWriteTheTableAndClose_data() { AddVias(); }
    void defaultsWriteTheTableAndClose()
    {
        QFETCH(Via, via);
        ParamSite site(via, AwayFromDefaults());
        ParamDefaults defaults(site.transfer, site.language);
        const ParamResult result = defaults.apply();
        QVERIFY2(result.success, qPrintable(result.reportText()));
        QCOMPARE(result.values.size(), 22);
        const ControllerData after = site.state();
        for (const FactoryDefault &entry : FactoryDefaults()) {
            if (entry.sent)
                QCOMPARE(after.parameters.value(entry.code.toLatin1()), entry.value.toLatin1());
        }
        QCOMPARE(after.parameters.value("AF17"), QByteArray("7"));
        QCOMPARE(after.parameters.value("AF18"), QByteArray("4321"));
        const QStringList sent = site.sentCommands();
        QCOMPARE(sent.size(), 23);
        QCOMPARE(sent.at(4), QStringLiteral("0001AF13120"));
        QCOMPARE(sent.last(), QStringLiteral("0001AR00"));
        QCOMPARE(site.progress.maximum(), 0);
    }

    void failedDefaultNamesTheEntryAndConfirmsOnlyWhatWasWritten()
    {
        ParamSite site(Via::Tcp, AwayFromDefaults());
        site.sim->setFaults(ErrorOn({"AF41"}));
        ParamDefaults defaults(site.transfer, site.language);
        const ParamResult result = defaults.apply();
        QVERIFY(!result.success);
        QCOMPARE(result.failedCodes, QStringList{QStringLiteral("AF41")});
        QVERIFY(result.reportText().startsWith(QStringLiteral("Error!\n")));
        QVERIFY(result.reportText().contains(QStringLiteral("AF41")));
        QStringList confirmed;
        for (const ParamValue &v : result.values)
            confirmed << v.code;
        QCOMPARE(confirmed,
                 (QStringList{"AF01", "AF02", "AF11", "AF12", "AF13", "AF14", "AF15", "AF16"}));
        const ControllerData after = site.state();
        QCOMPARE(after.parameters.value("AF16"), QByteArray("0030"));
        QCOMPARE(after.parameters.value("AF42"), QByteArray("1"));
        QCOMPARE(after.parameters.value("AF66"), QByteArray("1"));
        QCOMPARE(site.sentCommands().last(), QStringLiteral("0001AR00"));
        QVERIFY(!site.sentCommands().contains(QStringLiteral("0001AF42"
                                                             "0")));
    }
};

QTEST_GUILESS_MAIN(TestParamTransfer)
#include "test_param_transfer.moc"
