#include "CardCodec.h"

#include <QTest>

using namespace CardCodec;

class TestCardCodec : public QObject
{
    Q_OBJECT

private slots:
    void cardNumberForms()
    {
        QCOMPARE(ReadCardNumber(1), QStringLiteral("0001"));
        QCOMPARE(ReadCardNumber(9999), QStringLiteral("9999"));
        QCOMPARE(ReadCardNumber(10000), QStringLiteral("0010000"));
        QCOMPARE(WriteCardNumber(12, QStringLiteral("KT480NT-V5.04")), QStringLiteral("0000012"));
        QCOMPARE(WriteCardNumber(12, QStringLiteral("kt480nt v4.10")), QStringLiteral("0012"));
        QCOMPARE(WriteCardNumber(10000, QStringLiteral("V4")), QStringLiteral("0010000"));
        QCOMPARE(TableCardNumber(12), QStringLiteral("0000012"));
    }

    void pinRule()
    {
        QCOMPARE(ApplyPinRule(QStringLiteral("12")), QStringLiteral("12XX"));
        QCOMPARE(ApplyPinRule(QString()), QStringLiteral("XXXX"));
        QCOMPARE(ApplyPinRule(QStringLiteral(" 7 ")), QStringLiteral("7XXX"));
        QCOMPARE(ApplyPinRule(QStringLiteral("123456")), QStringLiteral("1234"));
    }

    void readReply()
    {
        const auto card = DecodeReadReply(12, QStringLiteral("00000000AABBCCDD01312341"), 24);
        QVERIFY(card);
        QCOMPARE(card->DataNO, QStringLiteral("0000012"));
        QCOMPARE(card->DataID, QStringLiteral("00000000AABBCCDD"));
        QCOMPARE(card->DataApp, QStringLiteral("01"));
        QCOMPARE(card->DataType, QStringLiteral("3"));
        QCOMPARE(card->DataPIN, QStringLiteral("1234"));
        QCOMPARE(card->DataAPB, QStringLiteral("1"));
        QVERIFY(!DecodeReadReply(12, QStringLiteral("000000000000000001312341"), 24));
        QVERIFY(!DecodeReadReply(12, QStringLiteral("00000000AABBCCDD0131234"), 23));
    }

    void writeData()
    {
        CardRecord card;
        card.DataNO = QStringLiteral("0000012");
        card.DataID = QStringLiteral("12345");
        QCOMPARE(EncodeWriteData(card), QStringLiteral("000000000001234501"
                                                       "0"
                                                       "XXXX"
                                                       "0"));
        card.DataApp = QStringLiteral(" 7");
        card.DataType = QStringLiteral("2");
        card.DataPIN = QStringLiteral("99");
        card.DataAPB = QStringLiteral("1");
        QCOMPARE(EncodeWriteData(card), QStringLiteral("0000000000012345"
                                                       "07"
                                                       "2"
                                                       "99XX"
                                                       "1"));
        card.DataID = QStringLiteral("ABCDEF0123456789FF");
        QCOMPARE(EncodeWriteData(card).left(16), QStringLiteral("CDEF0123456789FF"));
        QCOMPARE(EncodeWriteData(card).size(), 24);
    }

    void rowProblems_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("app");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("pin");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "0000012"
                               << "01"
                               << "0"
                               << "12345"
                               << "1234" << true;
        QTest::newRow("empty fields") << "12"
                                      << ""
                                      << ""
                                      << ""
                                      << "" << true;
        QTest::newRow("empty number") << ""
                                      << "01"
                                      << "0"
                                      << "1"
                                      << "1234" << false;
        QTest::newRow("not a number") << "12a"
                                      << "01"
                                      << "0"
                                      << "1"
                                      << "1234" << false;
        QTest::newRow("zero") << "0"
                              << "01"
                              << "0"
                              << "1"
                              << "1234" << false;
        QTest::newRow("too big") << "10000000"
                                 << "01"
                                 << "0"
                                 << "1"
                                 << "1234" << false;
        QTest::newRow("wide app") << "5"
                                  << "123"
                                  << "0"
                                  << "1"
                                  << "1234" << false;
        QTest::newRow("wide type") << "5"
                                   << "01"
                                   << "12"
                                   << "1"
                                   << "1234" << false;
        QTest::newRow("framing byte") << "5"
                                      << "01"
                                      << "0"
                                      << "12\x03"
                                      << "1234" << false;
        QTest::newRow("non-latin") << "5"
                                   << "01"
                                   << "0" << QStringLiteral("卡片") << "1234" << false;
        // Fields that a write would cut or replace without a word.
        QTest::newRow("long id") << "5"
                                 << "01"
                                 << "0"
                                 << "123456789012345678"
                                 << "1234" << false;
        QTest::newRow("long pin") << "5"
                                  << "01"
                                  << "0"
                                  << "1"
                                  << "000399" << false;
        QTest::newRow("pin letters") << "5"
                                     << "01"
                                     << "0"
                                     << "1"
                                     << "12ab" << false;
        QTest::newRow("lower-case pin") << "5"
                                        << "01"
                                        << "0"
                                        << "1"
                                        << "12xx" << false;
        QTest::newRow("id with a space") << "5"
                                         << "01"
                                         << "0"
                                         << "1 8"
                                         << "1234" << false;
        QTest::newRow("short pin") << "5"
                                   << "01"
                                   << "0"
                                   << "1"
                                   << "12" << true;
        QTest::newRow("app letters") << "5"
                                     << "xx"
                                     << "0"
                                     << "1"
                                     << "1234" << false;
        QTest::newRow("type letter") << "5"
                                     << "01"
                                     << "t"
                                     << "1"
                                     << "1234" << false;
    }

    void rowProblems()
    {
        QFETCH(QString, number);
        QFETCH(QString, app);
        QFETCH(QString, type);
        QFETCH(QString, id);
        QFETCH(QString, pin);
        QFETCH(bool, valid);
        CardRecord card{number, id, app, type, pin, QStringLiteral("0")};
        QCOMPARE(RowProblem(card).isEmpty(), valid);
    }
};

QTEST_APPLESS_MAIN(TestCardCodec)
#include "test_card_codec.moc"
