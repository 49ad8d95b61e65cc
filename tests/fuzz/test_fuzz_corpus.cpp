// Every input kept in the fuzz corpora, run through the same targets as the fuzzers run them:
// an input that once broke a rule stays in the corpus and must keep passing.
#include "FuzzTargets.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

QDir CorpusOf(const char *target)
{
    return QDir(QStringLiteral(FUZZ_CORPUS_DIR "/") + QLatin1String(target));
}

} // namespace

class TestFuzzCorpus : public QObject
{
    Q_OBJECT

private slots:
    void everyTargetHasSeeds()
    {
        for (const Fuzz::Target &target : Fuzz::Targets()) {
            const QStringList files = CorpusOf(target.name).entryList(QDir::Files);
            QVERIFY2(files.size() >= 3, target.name);
        }
    }

    void corpusInput_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("path");
        const auto targets = Fuzz::Targets();
        for (int t = 0; t < int(targets.size()); ++t) {
            const QDir dir = CorpusOf(targets[t].name);
            for (const QString &file : dir.entryList(QDir::Files, QDir::Name)) {
                QTest::addRow("%s/%s", targets[t].name, qPrintable(file))
                    << t << dir.filePath(file);
            }
        }
    }

    void corpusInput()
    {
        QFETCH(int, target);
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QByteArray input = file.readAll();
        Fuzz::Targets()[target].run(input);
    }
};

QTEST_GUILESS_MAIN(TestFuzzCorpus)
#include "test_fuzz_corpus.moc"
