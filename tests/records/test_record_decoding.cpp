// Event replies to table rows: both layouts, the catalogue, the channel and card rules, and
// the filters a report or an export applies.
#include "ControllerModel.h"
#include "ControllerState.h"
#include "EventCatalogue.h"
#include "EventDecoder.h"
#include "EventLogMix.h"
#include "EventReply.h"
#include "RecordFilter.h"
#include "RecordTable.h"
#include "TableStore.h"

#include <QSet>
#include <QTest>

namespace {

const QString When = QStringLiteral("20080922140509");

// A 31-character event: channel digit, time, 4-character card, event block, pointer.
QString Short(QChar channel, const QString &card4, const QString &block5,
              const QString &pointer = QStringLiteral("0000017"))
{
    return QString(channel) + When + card4 + block5 + pointer;
}

QString Long(QChar channel, const QString &card7, const QString &block5,
             const QString &pointer = QStringLiteral("0000018"))
{
    return QString(channel) + When + card7 + block5 + pointer;
}

DecodedEvent Decode(const QString &payload)
{
    const auto reply = EventReply::parse(payload, int(payload.size()));
    return reply ? DecodeEvent(*reply) : DecodedEvent{};
}

} // namespace

class TestRecordDecoding : public QObject
{
    Q_OBJECT

private slots:
    void workedExample()
    {
        const QString payload = Short(u'1', QStringLiteral("1234"), QStringLiteral("A0011"));
        QCOMPARE(payload.size(), 31);
        const auto reply = EventReply::parse(payload, 31);
        QVERIFY(reply.has_value());
        QCOMPARE(reply->pointer, QStringLiteral("0000017"));
        const DecodedEvent e = DecodeEvent(*reply);
        QVERIFY(e.known);
        QCOMPARE(e.record.CardNO, QStringLiteral("1234"));
        QCOMPARE(e.record.DataTime, QStringLiteral("2008/09/22 14:05:09"));
        QCOMPARE(e.record.iStatus, QStringLiteral("11"));
        QCOMPARE(e.record.SStatus, QStringLiteral("In check OK"));
        QCOMPARE(e.record.iChannel, QStringLiteral("1"));
        QCOMPARE(e.record.APB, QStringLiteral("1"));
    }

    void layoutsFollowTheReplyLength()
    {
        const QString longPayload = Long(u'2', QStringLiteral("0001234"), QStringLiteral("A0052"),
                                         QStringLiteral("0123456"));
        QCOMPARE(longPayload.size(), 34);
        const auto reply = EventReply::parse(longPayload, 34);
        QVERIFY(reply.has_value());
        QCOMPARE(reply->card, QStringLiteral("0001234"));
        QCOMPARE(reply->pointer, QStringLiteral("0123456"));
        const DecodedEvent e = DecodeEvent(*reply);
        QCOMPARE(e.record.CardNO, QStringLiteral("0001234"));
        QCOMPARE(e.record.SStatus, QStringLiteral("Out check OK"));
        QCOMPARE(e.record.APB, QStringLiteral("5"));
        QCOMPARE(e.record.iChannel, QStringLiteral("2"));

        QVERIFY(!EventReply::parse(longPayload.left(32), 32));
        QVERIFY(!EventReply::parse(longPayload + QLatin1Char('0'), 35));
        // Positions count after trimming; the layout is the one of the untrimmed length.
        const auto padded = EventReply::parse(QStringLiteral("\x01") + longPayload.left(33), 34);
        QVERIFY(padded.has_value());
        QCOMPARE(padded->pointer, QStringLiteral("012345"));
    }

    void everyCatalogueKind_data()
    {
        QTest::addColumn<QString>("block");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("card");
        for (const EventKind &kind : EventCatalogue()) {
            const QString block =
                QString(QLatin1Char(kind.type)) + QStringLiteral("000") + QLatin1Char(kind.status);
            const QString card = kind.card == EventKind::Card::Number    ? QStringLiteral("4321")
                                 : kind.card == EventKind::Card::LastTwo ? QStringLiteral("21")
                                                                         : QString();
            QTest::newRow(qPrintable(block))
                << block << QString::number(kind.code) << kind.text << card;
        }
    }

    void everyCatalogueKind()
    {
        QFETCH(QString, block);
        QFETCH(QString, code);
        QFETCH(QString, text);
        QFETCH(QString, card);
        const DecodedEvent e = Decode(Short(u'2', QStringLiteral("4321"), block));
        QVERIFY(e.known);
        QCOMPARE(e.record.iStatus, code);
        QCOMPARE(e.record.SStatus, text);
        QCOMPARE(e.record.CardNO, card);
    }

    void catalogueCodes()
    {
        QCOMPARE(EventCatalogue().size(), 28);
        const QList<QPair<QString, int>> odd{{QStringLiteral("C5"), 47}, {QStringLiteral("C6"), 50},
                                             {QStringLiteral("C7"), 40}, {QStringLiteral("C8"), 45},
                                             {QStringLiteral("D1"), 67}, {QStringLiteral("D3"), 65},
                                             {QStringLiteral("F2"), 34}};
        for (const auto &[pair, code] : odd)
            QCOMPARE(FindEventKind(pair.at(0), pair.at(1))->code, code);
        QCOMPARE(FindEventKind(u'A', u'3')->text, QStringLiteral("Go Out "));
        QVERIFY(!FindEventKind(u'A', u'7'));
        QVERIFY(!FindEventKind(u'G', u'1'));
    }

    void doorChannels()
    {
        QCOMPARE(
            Decode(Short(u'7', QStringLiteral("0000"), QStringLiteral("E0001"))).record.iChannel,
            QStringLiteral("3"));
        QCOMPARE(
            Decode(Short(u'5', QStringLiteral("0000"), QStringLiteral("A0011"))).record.iChannel,
            QStringLiteral("1"));
        QCOMPARE(
            Decode(Short(u'4', QStringLiteral("0000"), QStringLiteral("B0013"))).record.iChannel,
            QStringLiteral("4"));
        // Outside doors 1 to 4 the event is still kept: code 0, what was sent in the text.
        for (const QChar channel : {u'0', u'9'}) {
            const DecodedEvent e =
                Decode(Short(channel, QStringLiteral("0000"), QStringLiteral("E0001")));
            QVERIFY(!e.known);
            QCOMPARE(e.record.iStatus, QStringLiteral("0"));
            QCOMPARE(e.record.SStatus, QStringLiteral("Unknown event E1 channel %1").arg(channel));
            QCOMPARE(e.record.iChannel, QString(channel));
            QCOMPARE(e.record.DataTime, QStringLiteral("2008/09/22 14:05:09"));
        }
    }

    void unknownPairsAreKept()
    {
        const DecodedEvent e =
            Decode(Long(u'3', QStringLiteral("0098765"), QStringLiteral("G0071")));
        QVERIFY(!e.known);
        QCOMPARE(e.record.iStatus, QStringLiteral("0"));
        QCOMPARE(e.record.SStatus, QStringLiteral("Unknown event G1 channel 3"));
        QCOMPARE(e.record.iChannel, QStringLiteral("3"));
        QCOMPARE(e.record.CardNO, QStringLiteral("0098765"));
        QCOMPARE(e.record.APB, QStringLiteral("7"));
        QVERIFY(e.record.SStatus.size() <= 30);
    }

    void pointAndPlainChannels()
    {
        const DecodedEvent fire =
            Decode(Short(u'1', QStringLiteral("0000"), QStringLiteral("C0053")));
        QCOMPARE(fire.record.SStatus, QStringLiteral("Fire Alarm"));
        QCOMPARE(fire.record.iChannel, QStringLiteral("22"));
        QCOMPARE(fire.record.CardNO, QString());
        QCOMPARE(fire.record.APB, QStringLiteral("0"));
        // A number that is not one counts as 0.
        QCOMPARE(
            Decode(Short(u'2', QStringLiteral("0000"), QStringLiteral("F0x51"))).record.iChannel,
            QStringLiteral("33"));
        const DecodedEvent master =
            Decode(Short(u'0', QStringLiteral("0000"), QStringLiteral("D0001")));
        QCOMPARE(master.record.SStatus, QStringLiteral("Master Login"));
        QCOMPARE(master.record.iChannel, QStringLiteral("0"));
        QCOMPARE(
            Decode(Short(u'9', QStringLiteral("0000"), QStringLiteral("D0002"))).record.iChannel,
            QStringLiteral("9"));
    }

    void cardRules()
    {
        const DecodedEvent invalid =
            Decode(Long(u'1', QStringLiteral("0004567"), QStringLiteral("B0002")));
        QCOMPARE(invalid.record.SStatus, QStringLiteral("Invalid Card"));
        QCOMPARE(invalid.record.CardNO, QStringLiteral("67"));
        const DecodedEvent goOut =
            Decode(Short(u'1', QStringLiteral("0042"), QStringLiteral("A00x3")));
        QCOMPARE(goOut.record.SStatus, QStringLiteral("Go Out "));
        QCOMPARE(goOut.record.APB, QStringLiteral("0"));
        QCOMPARE(goOut.record.CardNO, QStringLiteral("0042"));
    }

    void rowsAreNumberedAfterThoseThere()
    {
        TableStore table;
        RecordTable::Recreate(table);
        for (int i = 0; i < 10; ++i)
            RecordTable::Append(
                table, Decode(Short(u'1', QStringLiteral("1234"), QStringLiteral("A0011"))).record);
        RecordTable::Append(
            table, Decode(Short(u'1', QStringLiteral("1234"), QStringLiteral("A0013"))).record);
        QCOMPARE(table.RecordCount(), 11);
        QCOMPARE(RecordTable::RowAt(table, 0).IONO, QStringLiteral("0000001"));
        QCOMPARE(RecordTable::RowAt(table, 10).IONO, QStringLiteral("0000011"));
        QCOMPARE(RecordTable::RowAt(table, 10).SStatus, QStringLiteral("Go Out "));
    }

    void simulatorLogHoldsEveryKind()
    {
        const QList<QByteArray> log = MixedEventLog(400);
        QSet<QString> pairs;
        QSet<int> layouts;
        QSet<QChar> doorDigits;
        int unknown = 0;
        for (int i = 0; i < log.size(); ++i) {
            const QByteArray &e = log[i];
            QCOMPARE(e.right(7), QByteArray::number(i + 1).rightJustified(7, '0'));
            const auto reply = EventReply::parse(QString::fromLatin1(e), int(e.size()));
            QVERIFY(reply.has_value());
            layouts.insert(reply->layout);
            const EventKind *kind = FindEventKind(reply->type, reply->status);
            if (kind)
                pairs.insert(QString(reply->type) + reply->status);
            if (kind && kind->channel == EventKind::Channel::Door)
                doorDigits.insert(reply->channel);
            unknown += DecodeEvent(*reply).known ? 0 : 1;
        }
        QCOMPARE(pairs.size(), EventCatalogue().size());
        QCOMPARE(layouts, (QSet<int>{31, 34}));
        for (const QChar digit : {u'0', u'1', u'4', u'5', u'8', u'9'})
            QVERIFY(doorDigits.contains(digit));
        QVERIFY(unknown >= 20);
        QCOMPARE(MixedEventLog(50, 9), MixedEventLog(50, 9));
    }

    void simulatorDropsOnlyTheHead()
    {
        ControllerData data = ControllerData::factory();
        data.events = MixedEventLog(3);
        ControllerState state(data);
        ControllerModel model(state);
        QCOMPARE(model.handleRequest("0001ID"), QByteArray("0001ID3"));
        // An acknowledgement of an event that is not the next one changes nothing.
        QCOMPARE(model.handleRequest("0001IN0000002"), QByteArray("0001IN"));
        QCOMPARE(state.snapshot().events.size(), 3);
        QCOMPARE(model.handleRequest("0001IN0000001"), QByteArray("0001IN"));
        QCOMPARE(model.handleRequest("0001IN0000001"), QByteArray("0001IN"));
        QCOMPARE(state.snapshot().events, data.events.mid(1));
        // A lost acknowledgement is neither carried out nor answered.
        state.modify([](ControllerData &d) {
            d.lostAcknowledgements = 1;
            return true;
        });
        QCOMPARE(model.handleRequest("0001IN0000002"), QByteArray());
        QCOMPARE(state.snapshot().events.size(), 2);
        QCOMPARE(model.handleRequest("0001IN0000002"), QByteArray("0001IN"));
        QCOMPARE(state.snapshot().events.size(), 1);
    }

    void filters()
    {
        TableStore table;
        RecordTable::Recreate(table);
        RecordTable::Append(table, {{},
                                    QStringLiteral("1234"),
                                    QStringLiteral("2008/09/22 14:05:09"),
                                    QStringLiteral("11"),
                                    QStringLiteral("In check OK"),
                                    QStringLiteral("1"),
                                    QStringLiteral("0")});
        RecordTable::Append(table, {{},
                                    QString(),
                                    QStringLiteral("2008/09/23 08:00:00"),
                                    QStringLiteral("43"),
                                    QStringLiteral("Fire Alarm"),
                                    QStringLiteral("22"),
                                    QStringLiteral("0")});
        RecordTable::Append(table, {{},
                                    QStringLiteral("0001234"),
                                    QStringLiteral("2008/09/29 23:59:59"),
                                    QStringLiteral("12"),
                                    QStringLiteral("Out check OK"),
                                    QStringLiteral("2"),
                                    QStringLiteral("0")});
        RecordTable::Append(table, {{},
                                    QStringLiteral("0005"),
                                    QStringLiteral("2008/09/30 00:00:00"),
                                    QStringLiteral("0"),
                                    QStringLiteral("Unknown event G1 channel 1"),
                                    QStringLiteral("1"),
                                    QStringLiteral("0")});

        auto rows = [&table](const RecordFilter &filter) {
            TableStore out;
            filter.apply(table, out);
            QStringList numbers;
            for (int row = 0; row < out.RecordCount(); ++row)
                numbers << RecordTable::RowAt(out, row).IONO.right(1);
            return numbers.join(QLatin1Char(','));
        };
        RecordFilter all;
        QCOMPARE(rows(all), QStringLiteral("1,2,3,4"));
        RecordFilter card;
        card.card = QStringLiteral("1234");
        QCOMPARE(rows(card), QStringLiteral("1,3"));
        RecordFilter week;
        week.since = RecordFilter::parseMoment(QStringLiteral("2008-09-23"), false);
        week.until = RecordFilter::parseMoment(QStringLiteral("2008/09/29"), true);
        QCOMPARE(rows(week), QStringLiteral("2,3"));
        RecordFilter alarms;
        QVERIFY(alarms.setCodes(QStringLiteral("40-50")));
        QCOMPARE(rows(alarms), QStringLiteral("2"));
        RecordFilter unknownOrOut;
        QVERIFY(unknownOrOut.setCodes(QStringLiteral("0,12")));
        QCOMPARE(rows(unknownOrOut), QStringLiteral("3,4"));
        QVERIFY(!RecordFilter().setCodes(QStringLiteral("x")));
        QVERIFY(!RecordFilter().setCodes(QStringLiteral("50-40")));
        QVERIFY(!RecordFilter::parseMoment(QStringLiteral("22.09.2008"), false));
        QCOMPARE(*RecordFilter::parseMoment(QStringLiteral("2008-09-22T14:05"), true),
                 QDateTime(QDate(2008, 9, 22), QTime(14, 5, 59)));
    }
};

QTEST_GUILESS_MAIN(TestRecordDecoding)
#include "test_record_decoding.moc"
