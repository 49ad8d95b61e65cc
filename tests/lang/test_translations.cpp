// The texts beyond the language table, in Traditional and Simplified Chinese: every text of
// the sources translated, each translation fit for its language's legacy code page, and the
// compiled catalogues installed together with Qt's own as the language changes.
#include "LanguageTranslator.h"
#include "TextEncoding.h"
#include "TsCatalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString TsPath(const QString &locale)
{
    return QStringLiteral(KT480_SOURCE_DIR "/lang/translations/kt480_%1.ts").arg(locale);
}

QStringList TranslatedFolders()
{
    QStringList folders;
    for (const QString &folder : QStringLiteral(KT480_TRANSLATED_FOLDERS).split(u','))
        folders << QStringLiteral(KT480_SOURCE_DIR "/") + folder;
    return folders;
}

// The placeholders of a text, sorted: %1 to %99 and %n, also in their %L forms.
QStringList Placeholders(const QString &text)
{
    static const QRegularExpression placeholder(QStringLiteral("%L?([0-9]{1,2}|n)"));
    QStringList found;
    for (const QRegularExpressionMatch &match : placeholder.globalMatch(text))
        found << match.captured(1);
    found.sort();
    return found;
}

bool HasHan(const QString &text)
{
    for (const QChar c : text) {
        if (c.script() == QChar::Script_Han)
            return true;
    }
    return false;
}

// The messages the sources in `folders` hold, as lupdate finds them.
QList<TsMessage> SourceMessages(const QStringList &folders, QString &error)
{
    QTemporaryDir dir;
    const QString fresh = dir.filePath(QStringLiteral("fresh_zh_TW.ts"));
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(LUPDATE_PATH),
                  QStringList{QStringLiteral("-silent"), QStringLiteral("-locations"),
                              QStringLiteral("none"), QStringLiteral("-extensions"),
                              QStringLiteral("cpp,h")} +
                      folders + QStringList{QStringLiteral("-ts"), fresh});
    if (!lupdate.waitForFinished(60000) || lupdate.exitStatus() != QProcess::NormalExit ||
        lupdate.exitCode() != 0) {
        error = QStringLiteral("lupdate failed: ") + QString::fromLocal8Bit(lupdate.readAll());
        return {};
    }
    return ReadTsFile(fresh, &error);
}

// Source texts without a finished translation in the catalogue, and catalogue entries that
// no source holds any more.
struct Gaps
{
    QStringList untranslated;
    QStringList stale;
};

Gaps Compare(const QList<TsMessage> &sources, const QList<TsMessage> &catalogue)
{
    QSet<QString> finished;
    QSet<QString> inSources;
    for (const TsMessage &message : catalogue) {
        if (message.type.isEmpty())
            finished.insert(message.key());
    }
    Gaps gaps;
    for (const TsMessage &message : sources) {
        inSources.insert(message.key());
        if (!finished.contains(message.key()))
            gaps.untranslated << message.context + QStringLiteral(": ") + message.source;
    }
    for (const TsMessage &message : catalogue) {
        if (!inSources.contains(message.key()))
            gaps.stale << message.context + QStringLiteral(": ") + message.source;
    }
    return gaps;
}

} // namespace

class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void everyMessageIsTranslatedForItsCodePage_data();
    void everyMessageIsTranslatedForItsCodePage();
    void everySourceTextHasItsTranslation();
    void everyCountedTextHasItsEnglishForms();
    void aNewUntranslatedTextIsFound();
    void translatorFollowsTheLanguage();
};

void TranslationsTest::everyMessageIsTranslatedForItsCodePage_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("codePage");
    QTest::addColumn<QByteArray>("windowsCodePage");
    QTest::newRow("zh_TW") << u"zh_TW"_qs << QByteArray("BIG5") << QByteArray("CP950");
    QTest::newRow("zh_CN") << u"zh_CN"_qs << QByteArray("GB2312") << QByteArray("CP936");
}

// Finished, in Chinese, with the placeholders and line breaks of the English, and in
// characters the language's code page has: a simplified form in the Big5 catalogue or a
// traditional one in the GB2312 catalogue fails here.
void TranslationsTest::everyMessageIsTranslatedForItsCodePage()
{
    QFETCH(QString, locale);
    QFETCH(QByteArray, codePage);
    QFETCH(QByteArray, windowsCodePage);
    QString error;
    const QList<TsMessage> messages = ReadTsFile(TsPath(locale), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(messages.size() > 100);
    for (const TsMessage &message : messages) {
        const QString where = message.context + QStringLiteral(": ") + message.source;
        QVERIFY2(message.type.isEmpty(), qPrintable(message.type + QStringLiteral(" ") + where));
        QVERIFY2(!message.translations.isEmpty(), qPrintable(where));
        for (const QString &translation : message.translations) {
            QVERIFY2(HasHan(translation), qPrintable(where));
            QCOMPARE(Placeholders(translation), Placeholders(message.source));
            QCOMPARE(translation.count(u'\n'), message.source.count(u'\n'));
            QVERIFY2(RoundTripsThrough(translation, codePage.constData()), qPrintable(where));
            QVERIFY2(RoundTripsThrough(translation, windowsCodePage.constData()),
                     qPrintable(where));
        }
    }
}

// The sources as lupdate reads them against the committed catalogues: a tr() text added
// without a translation (or changed under one) is named here, and so is a translation whose
// text left the sources (`make translations` refreshes both catalogues).
void TranslationsTest::everySourceTextHasItsTranslation()
{
    QString error;
    const QList<TsMessage> sources = SourceMessages(TranslatedFolders(), error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(sources.size() > 100);
    for (const QString &locale : {u"zh_TW"_qs, u"zh_CN"_qs}) {
        const Gaps gaps = Compare(sources, ReadTsFile(TsPath(locale)));
        QVERIFY2(gaps.untranslated.isEmpty(),
                 qPrintable(locale + QStringLiteral(" lacks:\n") + gaps.untranslated.join(u'\n')));
        QVERIFY2(gaps.stale.isEmpty(),
                 qPrintable(locale + QStringLiteral(" holds texts no source has:\n") +
                            gaps.stale.join(u'\n')));
    }
}

// The English catalogue holds only the texts with a count, each with its singular and plural
// form: a new counted text without them shows "1 rows" and is named here.
void TranslationsTest::everyCountedTextHasItsEnglishForms()
{
    QString error;
    QList<TsMessage> counted = SourceMessages(TranslatedFolders(), error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    counted.removeIf([](const TsMessage &message) { return !message.numerus; });
    QVERIFY(counted.size() > 20);
    const QList<TsMessage> english = ReadTsFile(TsPath(u"en"_qs), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const Gaps gaps = Compare(counted, english);
    QVERIFY2(gaps.untranslated.isEmpty(),
             qPrintable(QStringLiteral("en lacks:\n") + gaps.untranslated.join(u'\n')));
    QVERIFY2(gaps.stale.isEmpty(), qPrintable(QStringLiteral("en holds texts no source has:\n") +
                                              gaps.stale.join(u'\n')));
    for (const TsMessage &message : english) {
        const QString where = message.context + QStringLiteral(": ") + message.source;
        QCOMPARE(message.translations.size(), 2);
        QVERIFY2(message.translations[0] != message.translations[1], qPrintable(where));
        for (const QString &form : message.translations) {
            QCOMPARE(Placeholders(form), Placeholders(message.source));
            QVERIFY2(!form.contains(u"(s)"_qs), qPrintable(where));
        }
    }
}

void TranslationsTest::aNewUntranslatedTextIsFound()
{
    QTemporaryDir extra;
    QFile probe(extra.filePath(QStringLiteral("Probe.cpp")));
    QVERIFY(probe.open(QIODevice::WriteOnly));
    probe.write("#include <QObject>\n"
                "class Probe : public QObject\n{\n    Q_OBJECT\n"
                "    QString text() const { return tr(\"%n probe(s) nobody translated\", "
                "nullptr, 2); }\n};\n");
    probe.close();
    QString error;
    const QList<TsMessage> sources = SourceMessages(TranslatedFolders() << extra.path(), error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const Gaps gaps = Compare(sources, ReadTsFile(TsPath(u"zh_TW"_qs)));
    QVERIFY2(gaps.untranslated.contains(u"Probe: %n probe(s) nobody translated"_qs),
             qPrintable(gaps.untranslated.join(u'\n')));
}

void TranslationsTest::translatorFollowsTheLanguage()
{
    auto thorough = [] { return QCoreApplication::translate("TfrmComSearch", "Thorough"); };
    auto written = [] {
        return QCoreApplication::translate("TfrmCardData", "%n card(s) written.", nullptr, 3);
    };
    auto yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
    {
        LanguageTranslator translator;
        QVERIFY(translator.apply(1));
        QCOMPARE(thorough(), u"完整搜尋"_qs);
        QCOMPARE(written(), u"已寫入 3 張卡片。"_qs);
        QCOMPARE(yes(), u"是(&Y)"_qs);
        QVERIFY(translator.apply(2));
        QCOMPARE(thorough(), u"完整搜索"_qs);
        QCOMPARE(written(), u"已写入 3 张卡片。"_qs);
        QCOMPARE(yes(), u"是(&Y)"_qs);
        QVERIFY(translator.apply(0));
        QCOMPARE(thorough(), u"Thorough"_qs);
        QCOMPARE(written(), u"3 cards written."_qs);
        QCOMPARE(QCoreApplication::translate("TfrmCardData", "%n card(s) written.", nullptr, 1),
                 u"1 card written."_qs);
        QCOMPARE(yes(), u"&Yes"_qs);
        // A stored index outside the table means English.
        QVERIFY(translator.apply(1));
        QVERIFY(translator.apply(7));
        QCOMPARE(translator.appliedIndex(), 0);
        QCOMPARE(thorough(), u"Thorough"_qs);
        QVERIFY(translator.apply(2));
    }
    // Gone with its owner.
    QCOMPARE(thorough(), u"Thorough"_qs);
    QCOMPARE(yes(), u"&Yes"_qs);
    QCOMPARE(written(), u"3 card(s) written."_qs);
    // English from the start, as the program starts in it.
    LanguageTranslator english;
    QVERIFY(english.apply(0));
    QCOMPARE(written(), u"3 cards written."_qs);
}

QTEST_GUILESS_MAIN(TranslationsTest)
#include "test_translations.moc"
