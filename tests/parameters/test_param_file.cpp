#include "ParamFilePaths.h"
#include "ParamFileTransfer.h"
#include "ParamSite.h"
#include "SiteData.h"
#include "TableStore.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

QStringList Column(const TableStore &table, int field)
{
    QStringList values;
    for (int row = 0; row < table.RecordCount(); ++row)
        values << table.Value(row, field);
    return values;
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray Packet(const QByteArray &rows, int valueWidth = 100)
{
    return R"(<?xml version="1.0" standalone="yes"?>  <DATAPACKET Version="2.0"><METADATA><FIELDS>)"
           R"(<FIELD attrname="DataType" fieldtype="string" WIDTH="10"/>)"
           R"(<FIELD attrname="DataVaue" fieldtype="string" WIDTH=")" +
           QByteArray::number(valueWidth) + R"("/></FIELDS><PARAMS/></METADATA><ROWDATA>)" + rows +
           "</ROWDATA></DATAPACKET>";
}

ControllerData Blank()
{
    ControllerData data = ControllerData::factory();
    data.groups.clear();
    return data;
}

} // namespace

class TestParamFile : public QObject
{
    Q_OBJECT

private slots:
    void backupStoresWhatTheControllerAnswersAndRestoreReplaysIt_data() { AddVias(); }
    void backupStoresWhatTheControllerAnswersAndRestoreReplaysIt()
    {
        QFETCH(Via, via);
        const ControllerData source = VariedController();
        ParamSite site(via, source);
        ParamFileTransfer files(site.transfer, site.settings, site.prompt, site.language);
        const QString shown = site.path(QStringLiteral("backup/param"));
        const ParamResult backup = files.backup(shown);
        QVERIFY2(backup.success, qPrintable(backup.reportText()));
        QCOMPARE(Column(files.table(), 0), VariedBackupCodes());
        QCOMPARE(files.table().Value(1, 1), QStringLiteral("077"));
        QVERIFY(QFileInfo::exists(shown + QStringLiteral(".xml")));
        QVERIFY(!QFileInfo::exists(shown));
        QCOMPARE(site.settings.LoadSetting(ParamFilePaths::ExportSetting), shown);
        QVERIFY(site.sentCommands().contains(QStringLiteral("0001AF100")));
        QVERIFY(!site.sentCommands().contains(QStringLiteral("0001BD05")));
        QVERIFY(!site.sentCommands().contains(QStringLiteral("0001MD005")));
        QCOMPARE(site.progress.maximum(), 0);

        ParamSite fresh(via, Blank());
        ParamFileTransfer restoring(fresh.transfer, fresh.settings, fresh.prompt, fresh.language);
        const QString file = shown + QStringLiteral(".xml");
        const ParamResult restore = restoring.restore(file);
        QVERIFY2(restore.success, qPrintable(restore.reportText()));
        QCOMPARE(fresh.settings.LoadSetting(ParamFilePaths::ImportSetting), file);
        const ControllerData after = fresh.state();
        for (const char *code : {"AF01", "AF13", "AF17", "AF66"})
            QCOMPARE(after.parameters.value(code), source.parameters.value(code));
        QMap<QByteArray, QByteArray> expected = source.groups;
        for (const char *unread : {"BD05", "MD004", "MD005"})
            expected.remove(unread);
        QCOMPARE(after.groups, expected);
        // The rows travel in file order: Device ID, code, value.
        QCOMPARE(fresh.sentCommands().at(1), QStringLiteral("0001AF011"));
    }

    void folderNamedXmlGetsNoExtension()
    {
        ParamSite site(Via::Tcp);
        ParamFileTransfer files(site.transfer, site.settings, site.prompt, site.language);
        const QString shown = site.path(QStringLiteral("XMLdata/param"));
        QVERIFY(files.backup(shown).success);
        QVERIFY(QFileInfo(shown).isFile());
    }

    void controllerWithoutParametersWritesNoFile()
    {
        ControllerData empty = Blank();
        empty.parameters.clear();
        ParamSite site(Via::Tcp, empty);
        ParamFileTransfer files(site.transfer, site.settings, site.prompt, site.language);
        const QString shown = site.path(QStringLiteral("param.xml"));
        const ParamResult result = files.backup(shown);
        QVERIFY(!result.success);
        QVERIFY(result.reportText().startsWith(QStringLiteral("Error!\n")));
        QVERIFY(!QFileInfo::exists(shown));
        QVERIFY(site.settings.LoadSetting(ParamFilePaths::ExportSetting).isEmpty());
    }

    void lostLinkKeepsTheEarlierFileUnlessTheUserSavesAnyway_data()
    {
        QTest::addColumn<bool>("saveAnyway");
        QTest::newRow("keep") << false;
        QTest::newRow("save anyway") << true;
    }
    void lostLinkKeepsTheEarlierFileUnlessTheUserSavesAnyway()
    {
        QFETCH(bool, saveAnyway);
        ParamSite site(Via::Tcp, VariedController());
        ParamFileTransfer files(site.transfer, site.settings, site.prompt, site.language);
        const QString file = site.path(QStringLiteral("param.xml"));
        QVERIFY(files.backup(file).success);
        QFile earlier(file);
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        const QByteArray good = earlier.readAll();
        earlier.close();

        // The controller goes away while the "FA" group is read.
        QObject context;
        connect(&site.comm, &Comm::logLine, &context, [&site](const QString &line) {
            if (line.contains(QLatin1String("[0001FA50]")))
                site.sim.reset();
        });
        site.prompt.answer = saveAnyway;
        const ParamResult partial = files.backup(file);
        QVERIFY(!partial.success);
        QVERIFY(partial.reportText().contains(QStringLiteral("link was lost")));
        QCOMPARE(site.prompt.questions.size(), 1);
        QVERIFY(site.prompt.questions.first().contains(file));
        QFile after(file);
        QVERIFY(after.open(QIODevice::ReadOnly));
        if (saveAnyway) {
            QVERIFY(after.readAll() != good);
            TableStore table;
            QVERIFY(table.LoadFromFile(file));
            QCOMPARE(table.Value(table.RecordCount() - 1, 0), QStringLiteral("FA50"));
        } else {
            QCOMPARE(after.readAll(), good);
            QVERIFY(partial.reportText().contains(QStringLiteral("was kept")));
        }
    }

    void lostLinkWithoutEarlierFileWritesThePartOnlyWithAReport()
    {
        ParamSite site(Via::Tcp, VariedController());
        ParamFileTransfer files(site.transfer, site.settings, site.prompt, site.language);
        QObject context;
        connect(&site.comm, &Comm::logLine, &context, [&site](const QString &line) {
            if (line.contains(QLatin1String("[0001BD02]")))
                site.sim.reset();
        });
        const QString file = site.path(QStringLiteral("param.xml"));
        const ParamResult partial = files.backup(file);
        QVERIFY(!partial.success);
        QVERIFY(partial.reportText().contains(QStringLiteral("incomplete backup was written")));
        QVERIFY(site.prompt.questions.isEmpty());
        TableStore table;
        QVERIFY(table.LoadFromFile(file));
        QCOMPARE(table.Value(table.RecordCount() - 1, 0), QStringLiteral("BD02"));
    }

    void restoreOfAMissingOrBadFileNamesIt()
    {
        ParamSite site(Via::Tcp);
        ParamFileTransfer files(site.transfer, site.settings, site.prompt, site.language);
        const QString missing = site.path(QStringLiteral("nowhere/param.xml"));
        const QString malformed = site.path(QStringLiteral("malformed.xml"));
        WriteFile(malformed, Packet("<ROW DataType=\"AF13\" DataVaue=\"1"));
        const QString foreign = site.path(QStringLiteral("cards.xml"));
        WriteFile(
            foreign,
            R"(<?xml version="1.0" standalone="yes"?>  <DATAPACKET Version="2.0"><METADATA><FIELDS>)"
            R"(<FIELD attrname="DataNO" fieldtype="string" WIDTH="10"/></FIELDS><PARAMS/>)"
            R"(</METADATA><ROWDATA><ROW DataNO="1"/></ROWDATA></DATAPACKET>)");
        const QString empty = site.path(QStringLiteral("empty.xml"));
        WriteFile(empty, Packet(""));
        for (const QString &path : {missing, malformed, foreign, empty}) {
            const ParamResult result = files.restore(path);
            QVERIFY(!result.success);
            QVERIFY2(result.reportText().startsWith(QStringLiteral("Error!\n")), qPrintable(path));
            QVERIFY2(result.reportText().contains(path), qPrintable(result.reportText()));
        }
        QVERIFY(!files.restore(QString()).success);
        // A link to a device exists: it is named for what it is.
        const QString device = site.path(QStringLiteral("zero.xml"));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), device));
        const QString text = files.restore(device).reportText();
        QVERIFY2(text.contains(device + QStringLiteral(": not a file")), qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("does not exist")), qPrintable(text));
        QVERIFY(site.sentCommands().isEmpty());
    }

    void craftedRowsAreNotSentAndAreReported()
    {
        ControllerData data = ControllerData::factory();
        data.cards = GeneratedCards(5);
        ParamSite site(Via::Tcp, data);
        const QString crafted = site.path(QStringLiteral("crafted.xml"));
        WriteFile(crafted,
                  Packet(R"(<ROW DataType="HK"/>)"
                         R"(<ROW DataType="AF13" DataVaue="1&#013;0001HK"/>)"
                         R"(<ROW DataType="ZZ01" DataVaue="1"/>)"
                         R"(<ROW DataType="HA0001" DataVaue="000000003000000007011XXXX0"/>)"
                         R"(<ROW DataType="BD01" DataVaue=")" +
                             QByteArray(300, '7') +
                             R"("/>)"
                             R"(<ROW DataType="AF13" DataVaue="099"/>)",
                         400));
        ParamFileTransfer files(site.transfer, site.settings, site.prompt, site.language);
        const ParamResult result = files.restore(crafted);
        QVERIFY(!result.success);
        QCOMPARE(result.failedCodes,
                 (QStringList{QStringLiteral("HK"), QStringLiteral("AF13"), QStringLiteral("ZZ01"),
                              QStringLiteral("HA0001"), QStringLiteral("BD01")}));
        QVERIFY(result.reportText().contains(QStringLiteral("5 rows not sent")));
        const ControllerData after = site.state();
        QCOMPARE(after.cards, data.cards);
        QCOMPARE(after.parameters.value("AF13"), QByteArray("099"));
        for (const QString &command : site.sentCommands())
            QVERIFY2(command == QLatin1String("0001AS") || command == QLatin1String("0001AF13099"),
                     qPrintable(command));
    }

    void rowsTheControllerRefusesAreCountedAndNamed()
    {
        ParamSite source(Via::Tcp, VariedController());
        ParamFileTransfer backup(source.transfer, source.settings, source.prompt, source.language);
        const QString file = source.path(QStringLiteral("param.xml"));
        QVERIFY(backup.backup(file).success);

        ParamSite site(Via::Tcp, Blank());
        FaultSettings faults;
        faults.errorCodes.insert("BD02", 'B');
        faults.errorCodes.insert("FA100", 'C');
        site.sim->setFaults(faults);
        ParamFileTransfer files(site.transfer, site.settings, site.prompt, site.language);
        const ParamResult result = files.restore(file);
        QVERIFY(!result.success);
        QCOMPARE(result.failedCodes,
                 (QStringList{QStringLiteral("BD02"), QStringLiteral("FA100")}));
        QVERIFY(result.reportText().contains(QStringLiteral("2 rows not taken by the controller: "
                                                            "BD02, FA100")));
        QCOMPARE(result.values.size(), VariedBackupCodes().size() - 2);
        const ControllerData after = site.state();
        QVERIFY(after.groups.contains("DJ3"));
        QVERIFY(after.groups.contains("BD01"));
        QVERIFY(after.groups.contains("FA99"));
        // A refused row changed nothing in the controller.
        QVERIFY(!after.groups.contains("BD02"));
        QVERIFY(!after.groups.contains("FA100"));
        QCOMPARE(after.groups.size(), VariedBackupCodes().size() - 2 - 4);
    }
};

QTEST_GUILESS_MAIN(TestParamFile)
#include "test_param_file.moc"
