#include "CommandCheck.h"
#include "DeviceDataGroup.h"
#include "FactoryDefault.h"
#include "Language.h"
#include "PageLayout.h"
#include "PageParameter.h"
#include "ParamFilePaths.h"

#include <QSet>
#include <QTest>

namespace {

QStringList AllCodes(const DeviceDataGroup &group, const QString &family)
{
    QStringList codes;
    for (int index = group.first; index <= group.last; ++index)
        codes.append(group.code(family, index));
    return codes;
}

const DeviceDataGroup &GroupOf(const QString &family)
{
    for (const DeviceDataGroup &group : DeviceDataGroups()) {
        if (group.families.contains(family))
            return group;
    }
    qFatal("no group %s", qPrintable(family));
}

} // namespace

class TestParamCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void pageParametersInOrderWithCaptionsAndButtons()
    {
        const auto &list = PageParameters();
        QCOMPARE(list.size(), 22);
        QList<int> numbers;
        for (const PageParameter &p : list)
            numbers.append(p.number);
        QCOMPARE(numbers, (QList<int>{1,  2,  11, 12, 13, 14, 15, 16, 41, 42, 43,
                                      44, 45, 46, 47, 48, 61, 62, 63, 64, 65, 66}));
        const Language english;
        QCOMPARE(english.TableText(FindPageParameter(1)->captionRow),
                 QStringLiteral("Elevator Mode(0:Disable 1:Enable)"));
        QCOMPARE(english.TableText(FindPageParameter(13)->captionRow),
                 QStringLiteral("LCD Delay Time(second)"));
        QCOMPARE(english.TableText(FindPageParameter(46)->captionRow),
                 QStringLiteral("Door Open/Close InOutMode(0:Dis. 1:En.)"));
        QCOMPARE(english.TableText(FindPageParameter(66)->captionRow),
                 QStringLiteral("Fingerprint and Card(0:Dis. 1:Enable)"));
        QCOMPARE(FindPageParameter(13)->readButton, QStringLiteral("btn105"));
        QCOMPARE(FindPageParameter(13)->writeButton, QStringLiteral("btn205"));
        QCOMPARE(FindPageParameter(46)->writeButton, QStringLiteral("SpeedButton4"));
        QCOMPARE(FindPageParameter(66)->readButton, QStringLiteral("btn122"));
        QCOMPARE(FindPageParameter(QStringLiteral("AF62"))->number, 62);
        QVERIFY(!FindPageParameter(17));
        QVERIFY(!FindPageParameter(QStringLiteral("AF17")));
    }

    void valueItemsByWidthAndRange()
    {
        const PageParameter &lcd = *FindPageParameter(13);
        QCOMPARE(lcd.items().size(), 256);
        QCOMPARE(lcd.items().first(), QStringLiteral("000"));
        QCOMPARE(lcd.items().last(), QStringLiteral("255"));
        const PageParameter &pinLock = *FindPageParameter(14);
        QCOMPARE(pinLock.items().size(), 10000);
        QVERIFY(pinLock.isItem(QStringLiteral("0060")));
        QVERIFY(!pinLock.isItem(QStringLiteral("60")));
        QVERIFY(!pinLock.isItem(QStringLiteral("00 6")));
        QCOMPARE(FindPageParameter(62)->items().last(), QStringLiteral("010"));
        QVERIFY(!FindPageParameter(62)->isItem(QStringLiteral("011")));
        QCOMPARE(FindPageParameter(65)->items().size(), 10);
        QCOMPARE(
            FindPageParameter(12)->items(),
            (QStringList{QStringLiteral("000"), QStringLiteral("001"), QStringLiteral("002")}));
        QCOMPARE(FindPageParameter(15)->items().size(), 10);
        for (const PageParameter &p : PageParameters())
            QVERIFY2(p.isItem(p.defaultValue), qPrintable(p.code()));
    }

    void layoutCoversEveryRowOnceAndV4HidesSix()
    {
        QSet<int> seen;
        for (const int n : PageLayout::LeftColumn() + PageLayout::RightColumn())
            QVERIFY(!seen.contains(n) && (seen.insert(n), true));
        seen.insert(PageLayout::BottomRow);
        QCOMPARE(seen.size(), 22);
        for (const PageParameter &p : PageParameters())
            QVERIFY(seen.contains(p.number));

        for (const QString &version : {QStringLiteral("KT480 V4.2"), QStringLiteral("kt480v4")}) {
            for (const int n : {43, 44, 45, 47, 48, 64})
                QVERIFY(!PageLayout::RowVisible(n, version));
            QVERIFY(PageLayout::RowVisible(42, version));
            QVERIFY(PageLayout::RowVisible(46, version));
        }
        for (const PageParameter &p : PageParameters())
            QVERIFY(PageLayout::RowVisible(p.number, QStringLiteral("V5.01")));
    }

    void factoryDefaults()
    {
        const auto &table = FactoryDefaults();
        QCOMPARE(table.size(), 24);
        QCOMPARE(table.at(8).code, QStringLiteral("AF17"));
        QVERIFY(!table.at(8).sent);
        QCOMPARE(table.at(9).code, QStringLiteral("AF18"));
        QCOMPARE(table.at(9).value, QStringLiteral("0000"));
        QVERIFY(!table.at(9).sent);
        QCOMPARE(table.at(4).code + table.at(4).value, QStringLiteral("AF13120"));
        QCOMPARE(table.at(13).code + table.at(13).value, QStringLiteral("AF44"
                                                                        "1"));
        QCOMPARE(table.last().code, QStringLiteral("AF66"));
        int sent = 0;
        for (const FactoryDefault &entry : table)
            sent += entry.sent ? 1 : 0;
        QCOMPARE(sent, 22);
        QCOMPARE(QString::fromLatin1(DefaultsClosingCode), QStringLiteral("AR00"));
    }

    void groupCodeForms()
    {
        const auto &groups = DeviceDataGroups();
        QCOMPARE(groups.size(), 14);
        QCOMPARE(ParamCode(1), QStringLiteral("AF01"));
        QCOMPARE(ParamCode(100), QStringLiteral("AF100"));

        const QStringList af = AllCodes(groups.first(), QStringLiteral("AF"));
        QCOMPARE(af.first(), QStringLiteral("AF01"));
        QCOMPARE(af.at(98), QStringLiteral("AF99"));
        QCOMPARE(af.last(), QStringLiteral("AF100"));
        QCOMPARE(groups.first().stop, GroupStop::TryEvery);

        const QStringList be = AllCodes(GroupOf(QStringLiteral("BE")), QStringLiteral("BE"));
        QCOMPARE(be.first(), QStringLiteral("BE0001"));
        QCOMPARE(be.last(), QStringLiteral("BE0050"));
        const QStringList ba = AllCodes(GroupOf(QStringLiteral("BA")), QStringLiteral("BA"));
        QCOMPARE(ba.first(), QStringLiteral("BA1"));
        QCOMPARE(ba.last(), QStringLiteral("BA20"));
        const QStringList md = AllCodes(GroupOf(QStringLiteral("MD")), QStringLiteral("MD"));
        QCOMPARE(md.first(), QStringLiteral("MD001"));
        QCOMPARE(md.at(998), QStringLiteral("MD999"));
        QCOMPARE(md.last(), QStringLiteral("MD1000"));
        QCOMPARE(GroupOf(QStringLiteral("MD")).stop, GroupStop::FirstFailureOrSixteenZeros);
        const QStringList fa = AllCodes(GroupOf(QStringLiteral("FA")), QStringLiteral("FA"));
        QCOMPARE(fa.at(98), QStringLiteral("FA99"));
        QCOMPARE(fa.at(99), QStringLiteral("FA100"));
        QCOMPARE(fa.last(), QStringLiteral("FA255"));
        QCOMPARE(AllCodes(GroupOf(QStringLiteral("OC")), QStringLiteral("OC")).last(),
                 QStringLiteral("OC160"));
        QCOMPARE(AllCodes(GroupOf(QStringLiteral("DJ")), QStringLiteral("DJ")).last(),
                 QStringLiteral("DJ100"));
        QCOMPARE(GroupOf(QStringLiteral("DI")).families,
                 (QStringList{QStringLiteral("ED"), QStringLiteral("DI"), QStringLiteral("JE")}));
        QVERIFY(!GroupOf(QStringLiteral("DC")).hasIndex());
    }

    void catalogueCodesAcceptOnlyTheirOwnForm()
    {
        for (const char *code : {"AF01",  "AF17",  "AF100", "DC",     "BD20",  "BE0050", "GA24",
                                 "FA255", "FD100", "BC20",  "MD1000", "MD001", "OA160",  "NB01",
                                 "EC99",  "ED",    "DI",    "JE",     "DJ1",   "DJ100"})
            QVERIFY2(IsCatalogueCode(QString::fromLatin1(code)), code);
        for (const char *code : {"HK",
                                 "HK0001",
                                 "HA",
                                 "AR00",
                                 "AS",
                                 "AF00",
                                 "AF1",
                                 "AF101",
                                 "AF001",
                                 "BD21",
                                 "BE01",
                                 "BE00001",
                                 "BA01",
                                 "BA21",
                                 "MD01",
                                 "MD1001",
                                 "DC01",
                                 "ED1",
                                 "DJ01",
                                 "",
                                 "af01",
                                 "AF 1",
                                 "AF99999999999999999999"})
            QVERIFY2(!IsCatalogueCode(QString::fromLatin1(code)), code);
    }

    void commandCheckRefusesUnsafeRows()
    {
        const QString id = QStringLiteral("0001");
        QVERIFY(CommandProblem(id, QStringLiteral("AF13"), QStringLiteral("120")).isEmpty());
        QVERIFY(CommandProblem(id, QStringLiteral("BD01"), QStringLiteral("Door 1 é")).isEmpty());
        QVERIFY(!CommandProblem(id, QStringLiteral("HK"), QString()).isEmpty());
        QVERIFY(!CommandProblem(id, QStringLiteral("AF13"), QStringLiteral("1\r0001HK")).isEmpty());
        QVERIFY(!CommandProblem(id, QStringLiteral("AF13"), QString(QChar(0x02))).isEmpty());
        QVERIFY(!CommandProblem(id, QStringLiteral("BD01"), QStringLiteral("門")).isEmpty());
        QVERIFY(CommandProblem(id, QStringLiteral("BD01"), QString(247, u'7')).isEmpty());
        QVERIFY(!CommandProblem(id, QStringLiteral("BD01"), QString(248, u'7')).isEmpty());
    }

    void xmlRuleAndRememberedPaths()
    {
        using namespace ParamFilePaths;
        QCOMPARE(WithXmlExtension(QStringLiteral("/tmp/backup/param")),
                 QStringLiteral("/tmp/backup/param.xml"));
        QCOMPARE(WithXmlExtension(QStringLiteral("/tmp/XMLdata/param")),
                 QStringLiteral("/tmp/XMLdata/param"));
        QCOMPARE(WithXmlExtension(QStringLiteral("/tmp/a.Xml")), QStringLiteral("/tmp/a.Xml"));
        QVERIFY(DefaultFile().endsWith(QStringLiteral("/KT480NT-V5_Parameter.xml")));
    }
};

QTEST_GUILESS_MAIN(TestParamCatalogue)
#include "test_param_catalogue.moc"
