#include "Language.h"
#include "LanguageTable.h"
#include "SdCardNotes.h"
#include "TextEncoding.h"

#include <QTest>

namespace {

QString Spaces(int count)
{
    return QString(count, u' ');
}

bool IsHan(QChar c)
{
    return c.script() == QChar::Script_Han;
}

bool IsAscii(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x7F)
            return false;
    }
    return true;
}

// The accelerator letter of a caption ("&Connect" gives C), or a null QChar without one;
// "&&" is a literal ampersand.
QChar AcceleratorOf(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] == u'&') {
            ++i;
            continue;
        }
        return text[i + 1].toUpper();
    }
    return {};
}

int LeadingSpaces(const QString &line)
{
    int count = 0;
    while (count < line.size() && line[count] == u' ')
        ++count;
    return count;
}

} // namespace

class TestLanguageTable : public QObject
{
    Q_OBJECT

private slots:
    void tableHasEveryRowInEveryLanguage()
    {
        QCOMPARE(LanguageRowCount, 147);
        for (int row = 0; row < LanguageRowCount; ++row) {
            for (int language = 0; language < LanguageColumnCount; ++language)
                QVERIFY2(!Language::Text(row, language).isEmpty(),
                         qPrintable(QString::number(row)));
        }
        QVERIFY(Language::Text(LanguageRowCount, Language::English).isEmpty());
        QVERIFY(Language::Text(-1, Language::TraditionalChinese).isEmpty());
        QVERIFY(LanguageTableEntry(0, LanguageColumnCount).isEmpty());
    }

    void englishTexts_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("english");
        QTest::newRow("title") << 0 << u"KT480NT4 V5 Utility V0104"_qs;
        QTest::newRow("connect") << 5 << u"&Connect"_qs;
        QTest::newRow("exit") << 10 << u"&Exit"_qs;
        QTest::newRow("literal ampersand") << 11 << u"Parameter && CardData Backup To PC"_qs;
        QTest::newRow("sd card") << 13 << u"SD CARD Backup/Restore"_qs;
        QTest::newRow("quick add shared") << 15 << u"Quick add card"_qs;
        QTest::newRow("tcp port") << 32 << u"Destination Port"_qs;
        QTest::newRow("udp port") << 33 << u"Destination Port"_qs;
        QTest::newRow("double blank") << 88 << u"Show InOut Full(0:Disable.  1:Enable)"_qs;
        QTest::newRow("baud 4R") << 102 << u"BaudRate 4R"_qs;
        QTest::newRow("sd restore") << 109 << u"SD CARD Restore"_qs;
        QTest::newRow("scanning") << 110 << u"Scanning ..."_qs;
        QTest::newRow("deleting") << 113 << u"Deleting All Cards ....."_qs;
        QTest::newRow("comm error") << 114 << u"Communication Error!"_qs;
        QTest::newRow("comm ok") << 115 << u"Communication ok."_qs;
        QTest::newRow("caption") << 118 << u"System Message"_qs;
        QTest::newRow("reader scan") << 121 << u"Scanning..... MELOK9"_qs;
        QTest::newRow("card to") << 123 << Spaces(11) + u"to"_qs;
        QTest::newRow("quick add card window") << 128 << u"Quick add card"_qs;
        QTest::newRow("record to") << 130 << Spaces(13) + u"to"_qs;
        QTest::newRow("record count") << 131 << Spaces(4) + u"IODataCount"_qs;
        QTest::newRow("count") << 136 << u"Count:"_qs;
        QTest::newRow("card data file") << 138 << u"Card data file"_qs;
        QTest::newRow("last") << 146 << u"No event matches the filter."_qs;
    }

    void englishTexts()
    {
        QFETCH(int, row);
        QFETCH(QString, english);
        QCOMPARE(Language::Text(row, Language::English), english);
    }

    void fixedChineseTexts_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("traditional");
        QTest::addColumn<QString>("simplified");
        QTest::newRow("connect") << 5 << u"連線(&C)"_qs << u"联机(&C)"_qs;
        QTest::newRow("scanning") << 110 << u"掃描中，請稍待...."_qs << u"扫描中，请稍待...."_qs;
        QTest::newRow("comm error") << 114 << u"通訊錯誤!"_qs << u"通讯错误!"_qs;
        QTest::newRow("comm ok") << 115 << u"通訊成功."_qs << u"通讯成功."_qs;
        QTest::newRow("caption") << 118 << u"系統訊息"_qs << u"系统讯息"_qs;
        QTest::newRow("quick add shared") << 15 << u"快速增加卡片"_qs << u"快速增加卡片"_qs;
        QTest::newRow("quick add reader")
            << 128 << u"新增卡片[增卡機]"_qs << u"新增卡片[增卡机]"_qs;
    }

    void fixedChineseTexts()
    {
        QFETCH(int, row);
        QFETCH(QString, traditional);
        QFETCH(QString, simplified);
        QCOMPARE(Language::Text(row, Language::TraditionalChinese), traditional);
        QCOMPARE(Language::Text(row, Language::SimplifiedChinese), simplified);
    }

    void languageNeutralRows()
    {
        for (const int row : {2, 3, 4, 75, 76, 102}) {
            const QString english = Language::Text(row, Language::English);
            QCOMPARE(Language::Text(row, Language::TraditionalChinese), english);
            QCOMPARE(Language::Text(row, Language::SimplifiedChinese), english);
        }
        for (const int language : {Language::TraditionalChinese, Language::SimplifiedChinese}) {
            QVERIFY(Language::Text(0, language).startsWith(u"KT480NT4 V5 "_qs));
            QVERIFY(Language::Text(0, language).endsWith(u" V0104"_qs));
            for (const int row : {13, 105, 108, 109})
                QVERIFY(Language::Text(row, language).startsWith(u"SD CARD"_qs));
        }
    }

    // Each Chinese column must survive its legacy code page: this rejects simplified forms in
    // the Big5 column, traditional forms in the GB2312 column and symbols neither set has.
    void textsFitTheirCodePages()
    {
        for (int row = 0; row < LanguageRowCount; ++row) {
            const QString where = u"row %1"_qs.arg(row);
            QVERIFY2(IsAscii(Language::Text(row, Language::English)), qPrintable(where));
            const QString traditional = Language::Text(row, Language::TraditionalChinese);
            QVERIFY2(RoundTripsThrough(traditional, "BIG5"), qPrintable(where));
            QVERIFY2(RoundTripsThrough(traditional, "CP950"), qPrintable(where));
            const QString simplified = Language::Text(row, Language::SimplifiedChinese);
            QVERIFY2(RoundTripsThrough(simplified, "GB2312"), qPrintable(where));
            QVERIFY2(RoundTripsThrough(simplified, "CP936"), qPrintable(where));
        }
    }

    void chineseCaptionsKeepTheEnglishAccelerator()
    {
        for (int row = 0; row < LanguageRowCount; ++row) {
            const QChar key = AcceleratorOf(Language::Text(row, Language::English));
            for (const int language : {Language::TraditionalChinese, Language::SimplifiedChinese}) {
                const QString text = Language::Text(row, language);
                const QString where = u"row %1 language %2"_qs.arg(row).arg(language);
                if (key.isNull()) {
                    QVERIFY2(!text.contains(u'&'), qPrintable(where));
                } else {
                    QVERIFY2(text.endsWith(u"(&"_qs + key + u')'), qPrintable(where));
                    QCOMPARE(text.count(u'&'), 1);
                }
            }
        }
    }

    void outOfRangeIndexShowsEnglish()
    {
        for (const int stored : {-1, 3, 255}) {
            const Language language(stored);
            QCOMPARE(language.LanguageIndex(), stored);
            QCOMPARE(language.EffectiveIndex(), Language::English);
            QCOMPARE(language.TableText(TextRow::ConnectButton), u"&Connect"_qs);
            QCOMPARE(language.TableText(TextRow::CardDataFileLabel), u"Card data file"_qs);
            QVERIFY(language.TableText(LanguageRowCount).isEmpty());
            QCOMPARE(Language::Text(static_cast<int>(TextRow::SystemMessage), stored),
                     u"System Message"_qs);
        }
        Language language;
        QCOMPARE(language.TableText(TextRow::SystemMessage), u"System Message"_qs);
        language.SetLanguageIndex(Language::TraditionalChinese);
        QCOMPARE(language.TableText(TextRow::SystemMessage), u"系統訊息"_qs);
        language.SetLanguageIndex(Language::SimplifiedChinese);
        QCOMPARE(language.TableText(TextRow::SystemMessage), u"系统讯息"_qs);
        QVERIFY(language.TableText(-1).isEmpty());
    }

    void languageFromSystemIdentifiers()
    {
        QCOMPARE(Language::LanguageFromLangId(2052), Language::SimplifiedChinese);
        QCOMPARE(Language::LanguageFromLangId(1028), Language::TraditionalChinese);
        for (const int other : {0, 1033, 2057, 3076, 4100, 5124, 1041, -1})
            QCOMPARE(Language::LanguageFromLangId(other), Language::English);
    }

    void languageFromLocale_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::newRow("zh_CN") << u"zh_CN"_qs << int(Language::SimplifiedChinese);
        QTest::newRow("zh_SG") << u"zh_SG"_qs << int(Language::SimplifiedChinese);
        QTest::newRow("zh_Hans_HK") << u"zh_Hans_HK"_qs << int(Language::SimplifiedChinese);
        QTest::newRow("zh_TW") << u"zh_TW"_qs << int(Language::TraditionalChinese);
        QTest::newRow("zh_HK") << u"zh_HK"_qs << int(Language::TraditionalChinese);
        QTest::newRow("zh_MO") << u"zh_MO"_qs << int(Language::TraditionalChinese);
        QTest::newRow("zh_Hant_CN") << u"zh_Hant_CN"_qs << int(Language::TraditionalChinese);
        QTest::newRow("en_US") << u"en_US"_qs << int(Language::English);
        QTest::newRow("ja_JP") << u"ja_JP"_qs << int(Language::English);
        QTest::newRow("C") << u"C"_qs << int(Language::English);
    }

    void languageFromLocale()
    {
        QFETCH(QString, name);
        QFETCH(int, index);
        QCOMPARE(Language::LanguageFromLocale(QLocale(name)), index);
    }

    void englishSdCardNote()
    {
        const QStringList note = MemoNote00();
        QCOMPARE(note.size(), SdCardNoteLineCount);
        QCOMPARE(note.first(), Spaces(3) + u"Special notes on using SD CARD"_qs);
        QCOMPARE(note[2],
                 Spaces(3) + u"2. If the SD CARD had data, please backup the data first. "_qs);
        QCOMPARE(note[6], Spaces(3) + u"6. The procedures of insert the SD CARD to controller as "
                                      u"following\uFF1A "_qs);
        QCOMPARE(note[8], Spaces(7) + u"<2> Insert SD CARD into the slot.  "_qs);
        QCOMPARE(note.last(), Spaces(7) + u"<4> Turn on the Controller. "_qs);
        for (int line = 0; line < SdCardNoteLineCount; ++line)
            QCOMPARE(LeadingSpaces(note[line]), line < 7 ? 3 : 7);
        QCOMPARE(SdCardNote(Language::English), note);
        QCOMPARE(SdCardNote(9), note);
    }

    void chineseSdCardNotes()
    {
        const QStringList traditional = MemoNote01();
        const QStringList simplified = MemoNote02();
        QCOMPARE(traditional.size(), SdCardNoteLineCount);
        QCOMPARE(simplified.size(), SdCardNoteLineCount);
        QCOMPARE(traditional.first(), Spaces(2) + u"使用SD CARD注意事項："_qs);
        QCOMPARE(traditional[2], u"2. Backup Data First (若原SD Card內有資料 請先備份原資料) "_qs);
        QCOMPARE(traditional[7], Spaces(7) + u"<1>Controller電源關閉  "_qs);
        QCOMPARE(traditional.last(), Spaces(7) + u"<4>Controller電源開啟"_qs);
        QCOMPARE(simplified.first(), Spaces(2) + u"使用SD CARD注意事项："_qs);
        QCOMPARE(SdCardNote(Language::TraditionalChinese), traditional);
        QCOMPARE(SdCardNote(Language::SimplifiedChinese), simplified);

        // Converted character for character: only ideographs may change, and whatever the
        // GB2312 column still lacks is a traditional form left unconverted.
        for (int line = 0; line < SdCardNoteLineCount; ++line) {
            const QString &from = traditional[line];
            const QString &to = simplified[line];
            const QString where = u"line %1"_qs.arg(line + 1);
            QCOMPARE(to.size(), from.size());
            for (qsizetype i = 0; i < from.size(); ++i)
                QVERIFY2(from[i] == to[i] || (IsHan(from[i]) && IsHan(to[i])), qPrintable(where));
            QVERIFY2(RoundTripsThrough(from, "BIG5"), qPrintable(where));
            QVERIFY2(RoundTripsThrough(to, "GB2312"), qPrintable(where));
        }
        for (const QString &line : MemoNote00()) {
            QVERIFY(RoundTripsThrough(line, "BIG5"));
            QVERIFY(RoundTripsThrough(line, "GB2312"));
        }
    }
};

QTEST_APPLESS_MAIN(TestLanguageTable)
#include "test_language_table.moc"
