#include "ParamFileTransfer.h"
#include "ParamSite.h"
#include "SiteData.h"

#include <QFileInfo>
#include <QTest>

// Controllers that do not answer: each silent attempt costs the link's full reply time, so
// these cases live apart from the quick file tests.
class TestParamSilence : public QObject
{
    Q_OBJECT

private slots:
    void silentCodesAloneDoNotEndAGoodBackup()
    {
        ParamSite site(Via::Tcp, VariedController());
        FaultSettings faults;
        for (const char *code : {"AF20", "AF21", "AF22"})
            faults.silentCodes.insert(code);
        site.sim->setFaults(faults);
        ParamFileTransfer files(site.transfer, site.settings, site.prompt, site.language);
        const QString file = site.path(QStringLiteral("param.xml"));
        const ParamResult result = files.backup(file);
        QVERIFY2(result.success, qPrintable(result.reportText()));
        QCOMPARE(files.table().RecordCount(), VariedBackupCodes().size());
        // The link was checked again right after the third silent code.
        const QStringList sent = site.sentCommands();
        const auto recheck = sent.indexOf(QStringLiteral("0001AS"), 1);
        QVERIFY(recheck > 0);
        QCOMPARE(sent.at(recheck - 1), QStringLiteral("0001AF22"));
        QCOMPARE(sent.at(recheck + 1), QStringLiteral("0001AF23"));
    }

    void silentControllerFailsAtOnce()
    {
        ParamSite site(Via::Tcp, VariedController());
        FaultSettings faults;
        faults.dropShare = 1.0;
        site.sim->setFaults(faults);
        ParamFileTransfer files(site.transfer, site.settings, site.prompt, site.language);
        const QString file = site.path(QStringLiteral("param.xml"));

        const ParamResult backup = files.backup(file);
        QVERIFY(!backup.success);
        QVERIFY(backup.reportText().startsWith(QStringLiteral("Error!\n")));
        QVERIFY(!QFileInfo::exists(file));
        QCOMPARE(site.sentCommands(), QStringList(3, QStringLiteral("0001AS")));

        site.sim->clearFaults();
        QVERIFY(files.backup(file).success);
        site.sim->setFaults(faults);
        site.log.clear();
        const ParamResult restore = files.restore(file);
        QVERIFY(!restore.success);
        QVERIFY(restore.reportText().contains(QStringLiteral("does not answer")));
        QCOMPARE(site.sentCommands(), QStringList(3, QStringLiteral("0001AS")));
    }
};

QTEST_GUILESS_MAIN(TestParamSilence)
#include "test_param_silence.moc"
