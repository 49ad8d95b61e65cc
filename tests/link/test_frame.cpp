#include "Frame.h"
#include "ReaderAssembler.h"
#include "ReplyAssembler.h"
#include "RequestAssembler.h"

#include <QTest>

namespace {

QByteArray hex(const char *spaced)
{
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

// Feeds bytes; returns the completed frames in order.
QList<QByteArray> assemble(ReplyAssembler &a, const QByteArray &bytes)
{
    QList<QByteArray> frames;
    for (const char b : bytes) {
        if (a.feed(b)) {
            frames << a.frame();
            a.reset();
        }
    }
    return frames;
}

// The requests a simulated controller finds in a stream of bytes, checked.
QList<RequestCheck> requests(const QByteArray &bytes)
{
    RequestAssembler a;
    QList<RequestCheck> found;
    for (const char b : bytes) {
        if (a.feed(b)) {
            found << CheckRequestFrame(a.frame());
            a.reset();
        }
    }
    return found;
}

} // namespace

class TestFrame : public QObject
{
    Q_OBJECT

private slots:
    void crcCheckValue()
    {
        QCOMPARE(Crc16Arc("123456789"), quint16(0xBB3D));
        QCOMPARE(Crc16Arc(hex("01 30 30 30 31 41 53 02")), quint16(0xE257));
        QCOMPARE(ByteToHex(0x0A), QByteArray("0A"));
        QCOMPARE(ByteToHex(0xE2), QByteArray("E2"));
    }

    void requestFrames()
    {
        QCOMPARE(BuildRequestFrame("0001AS"), hex("01 30 30 30 31 41 53 02 45 32 35 37 0D"));
        QCOMPARE(BuildRequestFrame("0000AC"), hex("01 30 30 30 30 41 43 02 44 45 35 42 0D"));
        QCOMPARE(BuildReaderFrame("A00B"), hex("09 41 30 30 42 30 41 0D"));
    }

    void commandTextLimits()
    {
        QVERIFY(IsValidCommandText("0001AS"));
        QVERIFY(IsValidCommandText(QByteArray(255, 'A')));
        QVERIFY(!IsValidCommandText(QByteArray(256, 'A')));
        QVERIFY(!IsValidCommandText(""));
        for (const char bad : {'\x01', '\x02', '\x03', '\x04', '\x0D'})
            QVERIFY(!IsValidCommandText(QByteArray("0001A") + bad));
    }

    void serialNumberReply()
    {
        const QByteArray reply =
            hex("03 30 30 30 31 41 53 31 32 33 34 35 36 37 38 04 42 46 45 32 0D");
        QCOMPARE(BuildReplyFrame("0001AS12345678"), reply);
        ReplyAssembler a;
        const auto frames = assemble(a, reply);
        QCOMPARE(frames.size(), 1);
        const ReplyCheck check = CheckReplyFrame(frames[0], 6);
        QVERIFY(check.crcOk);
        QCOMPARE(check.payload, QByteArray("12345678"));
        QCOMPARE(check.body, QByteArray("0001AS12345678"));
    }

    void errorReply()
    {
        const QByteArray reply = hex("03 30 30 30 31 41 53 0E 43 04 34 33 45 46 0D");
        QCOMPARE(BuildReplyFrame("0001AS\x0E"
                                 "C"),
                 reply);
        ReplyAssembler a;
        const auto frames = assemble(a, reply);
        QCOMPARE(frames.size(), 1);
        const ReplyCheck check = CheckReplyFrame(frames[0], 6);
        QVERIFY(check.crcOk);
        QCOMPARE(check.payload, QByteArray("\x0E"
                                           "C"));
    }

    void shortestBodyCompletesShorterDoesNot()
    {
        ReplyAssembler a;
        QCOMPARE(assemble(a, BuildReplyFrame("0001")).size(), 1);
        a.reset();
        QCOMPARE(assemble(a, BuildReplyFrame("001")).size(), 0);
    }

    void noiseAndRestart()
    {
        ReplyAssembler a;
        a.reset();
        const QByteArray stream = QByteArray("\xFF\x0D garbage\x04\x0D", 12) +
                                  "\x03"
                                  "00" +
                                  BuildReplyFrame("0001AS12345678");
        const auto frames = assemble(a, stream);
        QCOMPARE(frames.size(), 1);
        QCOMPARE(CheckReplyFrame(frames[0], 6).payload, QByteArray("12345678"));
    }

    void lowerCaseCrcFails()
    {
        QByteArray reply = BuildReplyFrame("0001AS12345678");
        reply.replace("BFE2", "bfe2");
        ReplyAssembler a;
        const auto frames = assemble(a, reply);
        QCOMPARE(frames.size(), 1);
        QVERIFY(!CheckReplyFrame(frames[0], 6).crcOk);
    }

    void echoLengthEdges()
    {
        const QByteArray frame = BuildReplyFrame("0001AC12345678").chopped(0);
        QCOMPARE(CheckReplyFrame(frame, 0).payload, QByteArray("0001AC12345678"));
        QCOMPARE(CheckReplyFrame(frame, 14).payload, QByteArray());
        QCOMPARE(CheckReplyFrame(frame, 40).payload, QByteArray());
    }

    void overlongFrameIsDropped()
    {
        ReplyAssembler a;
        const QByteArray big = BuildReplyFrame(QByteArray(1100, 'A'));
        QCOMPARE(assemble(a, big + BuildReplyFrame("0001AS99999999")).size(), 1);
    }

    void readerReply()
    {
        const QByteArray reply = BuildReaderReplyFrame("A00F0012345678");
        ReaderAssembler a;
        a.reset();
        QByteArray frame;
        for (const char b : QByteArray("noise") + reply) {
            if (a.feed(b))
                frame = a.frame();
        }
        const ReaderCheck check = CheckReaderFrame(frame, 4);
        QVERIFY(check.xorOk);
        QCOMPARE(check.payload, QByteArray("0012345678"));
        QByteArray bad = reply;
        bad[3] = 'Z';
        QVERIFY(!CheckReaderFrame(bad, 4).xorOk);
    }

    // The controller's side shares the assembler: requests in noise, a restart, a CRC error.
    void requestAssembler()
    {
        const QByteArray as = BuildRequestFrame("0001AS");
        auto found = requests("\x0D\x02noise" + as + as.left(5) + BuildRequestFrame("0000AC"));
        QCOMPARE(found.size(), 2);
        QCOMPARE(found[0].commandText, QByteArray("0001AS"));
        QVERIFY(found[0].crcOk);
        // A new start byte in mid-frame restarts the frame.
        QCOMPARE(found[1].commandText, QByteArray("0000AC"));
        QVERIFY(found[1].crcOk);

        QByteArray bad = as;
        bad[8] = bad[8] == '0' ? '1' : '0';
        found = requests(bad);
        QCOMPARE(found.size(), 1);
        QVERIFY(!found[0].crcOk);

        // A CR before the four CRC digits ends a frame that fails its check; the next counts.
        found = requests(QByteArray("\x01"
                                    "0001AS\x02"
                                    "E2\x0D") +
                         as);
        QCOMPARE(found.size(), 2);
        QVERIFY(!found[0].crcOk);
        QVERIFY(found[1].crcOk);
        QCOMPARE(found[1].commandText, QByteArray("0001AS"));
    }

    void readerRequestAssembler()
    {
        ReaderAssembler a(ReaderRequestStart);
        QByteArray bytes = "xx" + BuildReaderFrame("A00B");
        QByteArray bad = BuildReaderFrame("H00F");
        bad[5] = 'Z';
        bytes += bad;
        QList<ReaderCheck> found;
        for (const char b : bytes) {
            if (a.feed(b)) {
                found << CheckReaderFrame(a.frame(), 0);
                a.reset();
            }
        }
        QCOMPARE(found.size(), 2);
        QCOMPARE(found[0].payload, QByteArray("A00B"));
        QVERIFY(found[0].xorOk);
        QCOMPARE(found[1].payload, QByteArray("H00F"));
        QVERIFY(!found[1].xorOk);
    }
};

QTEST_APPLESS_MAIN(TestFrame)
#include "test_frame.moc"
