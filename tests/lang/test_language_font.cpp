#include "Language.h"
#include "LanguageFont.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QRawFont>
#include <QTest>
#include <QWidget>

#include <algorithm>

namespace {

// Captions that every language shows: program title, Connect, messages, quick add.
constexpr int SampleRows[] = {0, 5, 14, 110, 114, 115, 118, 128, 136};

QFontDatabase::WritingSystem WritingSystemOf(int languageIndex)
{
    switch (languageIndex) {
    case Language::TraditionalChinese:
        return QFontDatabase::TraditionalChinese;
    case Language::SimplifiedChinese:
        return QFontDatabase::SimplifiedChinese;
    default:
        return QFontDatabase::Latin;
    }
}

// The first character of the text that the resolved face cannot draw, or a null QChar.
QChar FirstMissingGlyph(const QRawFont &face, const QString &text)
{
    for (const QChar c : text) {
        if (c != u' ' && !face.supportsCharacter(c))
            return c;
    }
    return {};
}

} // namespace

class TestLanguageFont : public QObject
{
    Q_OBJECT

private slots:
    void windowsFaceComesFirst_data()
    {
        QTest::addColumn<int>("languageIndex");
        QTest::addColumn<QString>("face");
        QTest::addColumn<int>("reportSize");
        QTest::newRow("English") << int(Language::English) << u"MS Sans Serif"_qs << 10;
        QTest::newRow("Big5") << int(Language::TraditionalChinese) << u"細明體"_qs << 12;
        QTest::newRow("GB2312") << int(Language::SimplifiedChinese) << u"宋体"_qs << 12;
        QTest::newRow("out of range") << 7 << u"MS Sans Serif"_qs << 10;
    }

    void windowsFaceComesFirst()
    {
        QFETCH(int, languageIndex);
        QFETCH(QString, face);
        QFETCH(int, reportSize);
        for (const QFont &font : {LanguageFont(languageIndex), ReportFont(languageIndex)}) {
            QVERIFY(font.families().size() > 1);
            QCOMPARE(font.families().first(), face);
            QVERIFY(!font.bold());
            QVERIFY(!font.italic());
            QVERIFY(!font.underline());
            QVERIFY(!font.strikeOut());
        }
        QCOMPARE(LanguageFont(languageIndex).pointSize(), 10);
        QCOMPARE(ReportFont(languageIndex).pointSize(), reportSize);
    }

    void applyReachesChildrenAndTextIsBlack()
    {
        QWidget window;
        QLabel *const label = new QLabel(&window);
        window.setPalette(QPalette(Qt::red, Qt::white));
        ApplyLanguageFont(&window, Language::TraditionalChinese);
        QCOMPARE(window.font().families().first(), u"細明體"_qs);
        QCOMPARE(label->font().families(), window.font().families());
        QCOMPARE(label->font().pointSize(), 10);
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            for (const QPalette::ColorRole role :
                 {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
                QCOMPARE(label->palette().color(group, role), QColor(Qt::black));
        }
        ApplyLanguageFont(&window, Language::English);
        QCOMPARE(label->font().families().first(), u"MS Sans Serif"_qs);
        ApplyLanguageFont(nullptr, Language::English);
    }

    // Where the Windows faces are absent the fallbacks must still draw every caption.
    void resolvedFaceDrawsTheCaptions_data()
    {
        QTest::addColumn<int>("languageIndex");
        QTest::newRow("English") << int(Language::English);
        QTest::newRow("Big5") << int(Language::TraditionalChinese);
        QTest::newRow("GB2312") << int(Language::SimplifiedChinese);
    }

    void resolvedFaceDrawsTheCaptions()
    {
        QFETCH(int, languageIndex);
        const QStringList installed = QFontDatabase::families(WritingSystemOf(languageIndex));
        const QStringList wanted = LanguageFont(languageIndex).families();
        if (std::none_of(wanted.begin(), wanted.end(),
                         [&](const QString &family) { return installed.contains(family); }))
            QSKIP("none of the language's font families is installed");
        for (const QFont &font : {LanguageFont(languageIndex), ReportFont(languageIndex)}) {
            const QString family = QFontInfo(font).family();
            QVERIFY2(font.families().contains(family), qPrintable(family));
            const QRawFont face = QRawFont::fromFont(font, WritingSystemOf(languageIndex));
            QVERIFY(face.isValid());
            QCOMPARE(face.familyName(), family);
            for (const int row : SampleRows) {
                const QChar missing = FirstMissingGlyph(face, Language::Text(row, languageIndex));
                QVERIFY2(missing.isNull(),
                         qPrintable(u"%1 lacks %2 (row %3)"_qs.arg(family, missing).arg(row)));
            }
        }
    }
};

QTEST_MAIN(TestLanguageFont)
#include "test_language_font.moc"
