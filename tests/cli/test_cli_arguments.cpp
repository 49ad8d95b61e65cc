// What kt480ctl refuses before it opens anything: an option of another verb, an output that
// would replace an input or another output, a card range without a number, an event file that
// is not a record file. Every refusal is one line, exit 2, and the controller (a stand-in that
// counts connections) never hears from the run; no file of the folder changes.
#include "CtlRun.h"
#include "RecordFile.h"
#include "RecordTable.h"
#include "TableStore.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Every file below the folder with its contents.
QMap<QString, QByteArray> Snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::System | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        files.insert(path, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?"));
    }
    return files;
}

} // namespace

class TestCliArguments : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QVERIFY(controller_.listen(QHostAddress::LocalHost, 0));
        // A connection is counted and dropped at once: a run that got this far fails fast.
        connect(&controller_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = controller_.nextPendingConnection()) {
                ++connections_;
                socket->abort();
                socket->deleteLater();
            }
        });
        tcp_ = QStringLiteral("127.0.0.1:%1").arg(controller_.serverPort());

        QVERIFY(WriteTextFile(path("cards.csv"), "DataNO,DataID,DataApp,DataType,DataPIN,DataAPB\n"
                                                 "0000001,11,01,0,XXXX,0\n"));
        QCOMPARE(RunCtl({QStringLiteral("file"), QStringLiteral("convert"), path("cards.csv"),
                         path("cards.xml")})
                     .exitCode,
                 0);
        TableStore records;
        RecordTable::Recreate(records);
        RecordTable::Append(records, {{},
                                      QStringLiteral("0001"),
                                      QStringLiteral("2024/01/01 00:00:00"),
                                      QStringLiteral("11"),
                                      QStringLiteral("Card Open"),
                                      QStringLiteral("1"),
                                      QStringLiteral("0")});
        QVERIFY(RecordFile::Save(records, path("records.xml")));
        QVERIFY(QFile::link(path("records.xml"), path("link.xml")));
        QVERIFY(::link(QFile::encodeName(path("records.xml")).constData(),
                       QFile::encodeName(path("hard.xml")).constData()) == 0);
        QVERIFY(WriteTextFile(path("params.xml"), "<not a parameter file/>"));
        QVERIFY(QDir().mkpath(path("sub")));
        QVERIFY(QDir().mkpath(path("backup")));
        QVERIFY(WriteTextFile(path("backup/KT480NT-V5_Parameter.xml"), "p"));
        QVERIFY(WriteTextFile(path("backup/KT480NT-V5_CardData.xml"), "c"));
        const QByteArray site = "name,transport,address,port,id\nlobby,tcp,127.0.0.1," +
                                QByteArray::number(controller_.serverPort()) + ",1\n";
        QVERIFY(WriteTextFile(path("site.csv"), site));
        QVERIFY(QDir().mkpath(path("fleet/lobby")));
        QVERIFY(WriteTextFile(path("fleet/lobby/site.csv"), site));
        // An event journal holding an event the controller has forgotten, and a link to it.
        QVERIFY(QDir().mkpath(path("journal")));
        QVERIFY(WriteTextFile(path("journal/KT480NTV5-events-12345678.journal"),
                              "{\"pointer\":\"000001\"}\n"));
        QVERIFY(QFile::link(path("journal/KT480NTV5-events-12345678.journal"),
                            path("journal-link.csv")));
    }

    // An option that belongs to another verb (or to another action of the same verb) is a bad
    // argument: nothing is sent; with the option in use, a restore would have deleted every card.
    void optionsOfAnotherVerbAreRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("verb");
        const QString c = QStringLiteral("@tcp");
        auto row = [](const char *name, const QStringList &args, const char *option,
                      const char *verb) {
            QTest::newRow(name) << args << QString::fromLatin1(option) << QString::fromLatin1(verb);
        };
        row("restore dry run", {c, "restore", "backup", "--dry-run"}, "--dry-run", "restore");
        row("identify clear-all", {c, "identify", "--clear-all"}, "--clear-all", "identify");
        row("clock get pdf", {c, "clock", "get", "--pdf", "x.pdf"}, "--pdf", "clock");
        row("fleet restore range",
            {"fleet", "restore", "site.csv", "fleet", "--from", "5", "--to", "10"}, "--from",
            "fleet restore");
        row("fleet backup force", {"fleet", "backup", "site.csv", "fleet", "--force"}, "--force",
            "fleet backup");
        row("fleet dry run settle",
            {"fleet", "restore", "site.csv", "fleet", "--dry-run", "--settle-ms", "5"},
            "--settle-ms", "fleet restore --dry-run");
        row("exchange from", {c, "exchange", "0001AS", "--from", "1"}, "--from", "exchange");
        row("clock set clear-all", {c, "clock", "set", "--now", "--clear-all"}, "--clear-all",
            "clock");
        row("clock get now", {c, "clock", "get", "--now"}, "--now", "clock get");
        row("params get out", {c, "params", "get", "--out", "x.xml"}, "--out", "params");
        row("params backup to", {c, "params", "backup", "p.xml", "--to", "5"}, "--to", "params");
        row("cards read limit", {c, "cards", "read", "--limit", "5"}, "--limit", "cards");
        row("cards read clear-all", {c, "cards", "read", "--clear-all"}, "--clear-all",
            "cards read");
        row("cards write out", {c, "cards", "write", "cards.xml", "--out", "x.xml"}, "--out",
            "cards write");
        row("cards write range", {c, "cards", "write", "cards.xml", "--from", "1"}, "--from",
            "cards write");
        row("cards clear-all skip", {c, "cards", "clear-all", "--skip-invalid"}, "--skip-invalid",
            "cards clear-all");
        row("two-file diff link",
            {"cards", "diff", "cards.xml", "cards.xml", "--tcp", "127.0.0.1:1"}, "--tcp",
            "cards diff A.xml B.xml");
        row("backup clear-all", {c, "backup", "backup", "--clear-all"}, "--clear-all", "backup");
        row("restore range", {c, "restore", "backup", "--from", "1", "--to", "5"}, "--from",
            "restore");
        row("sd count", {c, "sd", "status", "--count", "1"}, "--count", "sd");
        row("records count out", {c, "records", "count", "--out", "x.xml"}, "--out",
            "records count");
        row("records read range", {c, "records", "read", "--from", "1"}, "--from", "records");
        row("records read pdf", {c, "records", "read", "--pdf", "x.pdf"}, "--pdf", "records read");
        row("report link",
            {"records", "report", "records.xml", "--pdf", "x.pdf", "--tcp", "127.0.0.1:1"}, "--tcp",
            "records report");
        row("report limit", {"records", "report", "records.xml", "--csv", "x.csv", "--limit", "3"},
            "--limit", "records report");
        row("file show link", {"file", "show", "cards.xml", "--tcp", "127.0.0.1:1"}, "--tcp",
            "file");
        row("file convert trace", {"file", "convert", "cards.xml", "x.csv", "--trace", "t.txt"},
            "--trace", "file");
        row("search tcp id", {"search", "tcp", "--net", "127.0.0", "--range", "1-1", "--id", "5"},
            "--id", "search");
        row("search serial net", {"search", "serial", "--net", "127.0.0"}, "--net",
            "search serial");
        row("reader watch link", {"reader", "watch", "--serial", "/dev/null"}, "--serial",
            "reader");
        row("reader watch pin", {"reader", "watch", "--pin", "1234"}, "--pin", "reader watch");
        row("fleet backup link", {"fleet", "backup", "site.csv", "fleet", "--tcp", "127.0.0.1:1"},
            "--tcp", "fleet");
        row("help-all is gone", {"--help-all"}, "--help-all", "");
    }

    void optionsOfAnotherVerbAreRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, option);
        QFETCH(QString, verb);
        expectRefusal(arguments, {option, verb});
    }

    // Too few or too many words after the action, for every form of every verb: refused
    // before a link, a trace or a file is opened.
    void wrongArgumentCountsAreRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");
        const QString c = QStringLiteral("@tcp");
        const QString t = QStringLiteral("--trace=t.txt");
        auto row = [](const char *name, const QStringList &args, const char *named) {
            QTest::newRow(name) << args << QString::fromLatin1(named);
        };
        row("exchange without text", {c, t, "exchange"}, "exchange: 0 arguments given");
        row("exchange with two", {c, t, "exchange", "0001AS", "0001DB"},
            "exchange: 2 arguments given");
        row("identify with one", {c, t, "identify", "x"}, "identify: 1 argument given");
        row("clock get with one", {c, t, "clock", "get", "x"}, "clock get: 1 argument given");
        row("clock set with two", {c, t, "clock", "set", "2024-01-01", "10:00:00"},
            "clock set: 2 arguments given");
        row("params set with one", {c, t, "params", "set", "AF13"}, "params set: 1 argument");
        row("params backup without file", {c, t, "params", "backup"}, "params backup: 0 arguments");
        row("params restore with two", {c, t, "params", "restore", "params.xml", "params.xml"},
            "params restore: 2 arguments");
        row("params defaults with one", {c, t, "params", "defaults", "x"},
            "params defaults: 1 argument");
        row("cards read with one", {c, t, "cards", "read", "x"}, "cards read: 1 argument");
        row("cards write without file", {c, t, "cards", "write"}, "cards write: 0 arguments");
        row("cards write with two", {c, t, "cards", "write", "cards.xml", "cards.xml"},
            "cards write: 2 arguments");
        row("cards clear-all with one", {c, t, "cards", "clear-all", "x"},
            "cards clear-all: 1 argument");
        row("cards diff with three", {c, t, "cards", "diff", "cards.xml", "cards.xml", "x"},
            "cards diff FILE: 3 arguments");
        row("cards sync without file", {c, t, "cards", "sync"}, "cards sync: 0 arguments");
        row("backup without folder", {c, t, "backup"}, "backup: 0 arguments");
        row("backup with two", {c, t, "backup", "backup", "sub"}, "backup: 2 arguments");
        row("restore without folder", {c, t, "restore"}, "restore: 0 arguments");
        row("sd status with one", {c, t, "sd", "status", "1"}, "sd status: 1 argument");
        row("sd backup without slot", {c, t, "sd", "backup"}, "sd backup: 0 arguments");
        row("sd restore with two", {c, t, "sd", "restore", "1", "2"}, "sd restore: 2 arguments");
        row("records count with one", {c, t, "records", "count", "x"}, "records count: 1 argument");
        row("records read with one", {c, t, "records", "read", "x"}, "records read: 1 argument");
        row("records report without file", {"records", "report", "--pdf", "x.pdf"},
            "records report FILE.xml");
        row("records query with one", {"records", "query", "records.xml", "--db", "a.db"},
            "records query: 1 argument");
        row("records import without file",
            {"records", "import", "--db", "a.db", "--controller", "1"},
            "records import: 0 arguments");
        row("reader watch with one", {"reader", "watch", "x"}, "reader watch: 1 argument");
        row("reader enrol without file", {"reader", "enrol"}, "reader enrol: 0 arguments");
        row("search tcp with one", {"search", "tcp", "x"}, "search tcp: 1 argument");
        row("file show with two", {"file", "show", "cards.xml", "cards.csv"},
            "file show: 2 arguments");
        row("file convert with one", {"file", "convert", "cards.xml"}, "file convert: 1 argument");
        row("fleet backup without folder", {"fleet", "backup", "site.csv"},
            "fleet backup: 1 argument");
        row("fleet restore with three", {"fleet", "restore", "site.csv", "fleet", "x"},
            "fleet restore SITE.csv DIR: 3 arguments");
        row("fleet dry run without folder", {"fleet", "restore", "site.csv", "--dry-run"},
            "fleet restore --dry-run: 1 argument");
        row("fleet records without site", {"fleet", "records", "--db", "a.db"},
            "fleet records: 0 arguments");
    }

    void wrongArgumentCountsAreRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        expectRefusal(arguments, {named, QStringLiteral("given; usage: kt480ctl ")});
    }

    // The output-file rule: an output that is an input or another output of the same run (after
    // links and relative paths), a file inside a controller folder a fleet run reads or replaces,
    // a card range without a number, an existing event file that is not a record file.
    void outputFilesAreJudgedBeforeAnythingIsDone_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");
        const QString c = QStringLiteral("@tcp");
        auto row = [](const char *name, const QStringList &args, const char *named) {
            QTest::newRow(name) << args << QString::fromLatin1(named);
        };
        const char *same = "are the same file; kt480ctl does not write over a file it reads";
        const char *twice = "are the same file; each output needs a file of its own";
        row("report over its record file",
            {"records", "report", "records.xml", "--pdf", "records.xml"}, same);
        row("report through another spelling",
            {"records", "report", "records.xml", "--csv", "./sub/../records.xml"}, same);
        row("report through a link", {"records", "report", "records.xml", "--pdf", "link.xml"},
            same);
        row("report through a hard link", {"records", "report", "records.xml", "--pdf", "hard.xml"},
            same);
        row("report through an absolute path",
            {"records", "report", "records.xml", "--csv", "@/records.xml"}, same);
        row("convert over its input", {"file", "convert", "cards.csv", "./cards.csv"}, same);
        row("trace over the card file written",
            {c, "cards", "write", "cards.xml", "--trace", "cards.xml"}, same);
        row("trace over the parameter file restored",
            {c, "params", "restore", "params.xml", "--trace", "params.xml"}, same);
        row("trace over a restore's card file",
            {c, "restore", "backup", "--trace", "backup/KT480NT-V5_CardData.xml"}, same);
        row("trace over the site file",
            {"fleet", "backup", "site.csv", "fleet", "--trace", "site.csv"}, same);
        row("trace and card file", {c, "cards", "read", "--out", "new.xml", "--trace", "new.xml"},
            twice);
        row("record file and CSV", {c, "records", "read", "--out", "ev.xml", "--csv", "ev.xml"},
            twice);
        row("trace and the parameter backup with its extension",
            {c, "params", "backup", "params", "--trace", "params.xml"}, twice);
        row("trace and a backup's parameter file",
            {c, "backup", "backup", "--trace", "backup/KT480NT-V5_Parameter.xml"}, twice);
        row("report PDF and CSV",
            {"records", "report", "records.xml", "--pdf", "r.out", "--csv", "r.out"}, twice);
        row("site file in a controller folder",
            {"fleet", "backup", "fleet/lobby/site.csv", "fleet"},
            "lies in a controller folder of fleet, which this run replaces");
        row("trace in a controller folder restored",
            {"fleet", "restore", "site.csv", "fleet", "--trace", "fleet/lobby/trace.txt"},
            "lies in a controller folder of fleet, which this run reads");
        row("card range start above end",
            {c, "cards", "read", "--from", "5", "--to", "3", "--out", "cards.xml"},
            "--from 5 lies above --to 3");
        row("card range to zero", {c, "cards", "read", "--to", "0", "--out", "cards.xml"},
            "--from 1 lies above --to 0");
        row("diff range", {c, "cards", "diff", "cards.xml", "--from", "9", "--to", "1"},
            "--from 9 lies above --to 1");
        row("backup range", {c, "backup", "backup", "--from", "5", "--to", "3"},
            "--from 5 lies above --to 3");
        row("fleet range", {"fleet", "backup", "site.csv", "fleet", "--to", "0"},
            "--from 1 lies above --to 0");
        row("dry run range",
            {"fleet", "restore", "site.csv", "fleet", "--dry-run", "--from", "2", "--to", "1"},
            "--from 2 lies above --to 1");
        row("events into a card file", {c, "records", "read", "--out", "cards.xml"},
            "--out cards.xml is not a record file");
        row("events into a card CSV", {c, "records", "read", "--csv", "cards.csv"},
            "--csv cards.csv is not a record file");
        const char *journal = "is an event journal";
        const char *j = "journal/KT480NTV5-events-12345678.journal";
        row("trace over a journal", {c, "identify", "--trace", j}, journal);
        row("trace over a journal's lock",
            {c, "clock", "get", "--trace", "journal/KT480NTV5-events-12345678.journal.lock"},
            journal);
        row("trace as a journal not yet there",
            {c, "clock", "get", "--trace", "journal/KT480NTV5-events-87654321.journal"}, journal);
        row("events into a journal", {c, "records", "read", "--out", j}, journal);
        row("events into a link to a journal", {c, "records", "read", "--csv", "journal-link.csv"},
            journal);
        row("cards over a journal", {c, "cards", "read", "--out", j}, journal);
        row("report over a journal", {"records", "report", "records.xml", "--pdf", j}, journal);
        row("query CSV through a link to a journal",
            {"records", "query", "--db", "a.db", "--csv", "journal-link.csv"}, journal);
        row("conversion over a journal", {"file", "convert", "cards.xml", j}, journal);
        row("fleet folder that is a journal", {"fleet", "backup", "site.csv", j}, journal);
        row("search trace over a journal",
            {"search", "tcp", "--net", "127.0.0", "--range", "1-1", "--trace", j}, journal);
    }

    void outputFilesAreJudgedBeforeAnythingIsDone()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        expectRefusal(arguments, {named});
    }

    // The rule refuses only what it must: a site file beside the controller folders, a trace
    // beside a backup's files and an event file that is a record file are taken.
    void outputFilesBesideTheInputsAreTaken_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("site file beside the controller folders")
            << QStringList{"fleet", "backup", "fleet/../site.csv", "fleet"};
        QTest::newRow("trace beside a backup's files")
            << QStringList{"@tcp", "backup", "backup", "--trace", "backup/trace.txt"};
        QTest::newRow("events added to a record file")
            << QStringList{"@tcp", "records", "read", "--out", "records.xml"};
    }

    void outputFilesBesideTheInputsAreTaken()
    {
        QFETCH(QStringList, arguments);
        const int before = connections_;
        const Run r = ctl(arguments);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(connections_ > before, r.err.constData());
    }

    // A verb's help is made from its option table: the same for help VERB and VERB --help, with
    // a usage line for each form, its options and an example; the top help names every verb.
    void helpComesFromTheOptionTable_data()
    {
        QTest::addColumn<QString>("verb");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("notShown");
        QTest::newRow("restore") << "restore"
                                 << QStringList{"kt480ctl CONNECTION restore DIR [--force] "
                                                "[--check-to M] [--settle-ms MS]"}
                                 << QStringList{"--dry-run", "--from"};
        QTest::newRow("fleet") << "fleet"
                               << QStringList{"fleet restore SITE.csv DIR --dry-run [--jobs N] "
                                              "[--from N] [--to M] [--check-to M] [--force]",
                                              "fleet backup SITE.csv DIR [--jobs N] [--from N] "
                                              "[--to M]",
                                              "fleet records SITE.csv --db DB [--jobs N] "
                                              "[--trace FILE]\n",
                                              "--settle-ms MS"}
                               << QStringList{"CONNECTION:"};
        QTest::newRow("cards") << "cards"
                               << QStringList{"kt480ctl cards diff A.xml B.xml",
                                              "kt480ctl CONNECTION cards read [--from N] [--to M] "
                                              "[--out FILE]",
                                              "CONNECTION: --tcp", "--trace FILE"}
                               << QStringList{"--limit"};
        QTest::newRow("records") << "records"
                                 << QStringList{"records read [--limit N] [--out FILE.xml] "
                                                "[--csv FILE]",
                                                "--code CODES"}
                                 << QStringList{"--from"};
        QTest::newRow("file") << "file" << QStringList{"kt480ctl file convert IN OUT"}
                              << QStringList{"CONNECTION", "--trace"};
    }

    void helpComesFromTheOptionTable()
    {
        QFETCH(QString, verb);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, notShown);
        const Run help = ctl({QStringLiteral("help"), verb});
        QCOMPARE(help.exitCode, 0);
        const Run asked = ctl({verb, QStringLiteral("--help")});
        QCOMPARE(asked.exitCode, 0);
        QCOMPARE(asked.out, help.out);
        QVERIFY(help.out.contains("Usage:\n") && help.out.contains("Example:\n  kt480ctl "));
        for (const QString &text : shown)
            QVERIFY2(help.out.contains(text.toUtf8()), qPrintable(text + u'\n' + help.out));
        for (const QString &text : notShown)
            QVERIFY2(!help.out.contains(text.toUtf8()), qPrintable(text + u'\n' + help.out));
    }

    void topHelpNamesEveryVerb()
    {
        const Run r = ctl({QStringLiteral("--help")});
        QCOMPARE(r.exitCode, 0);
        for (const char *verb : {"exchange", "identify", "clock", "params", "cards", "backup",
                                 "restore", "sd", "records", "reader", "search", "file", "fleet"})
            QVERIFY2(r.out.contains("\n  " + QByteArray(verb) + ' '), verb);
        const Run unknown = ctl({QStringLiteral("help"), QStringLiteral("nonsense")});
        QCOMPARE(unknown.exitCode, 2);
        QCOMPARE(unknown.err,
                 QByteArray("unknown verb: nonsense (kt480ctl --help lists the verbs)\n"));
        QVERIFY(unknown.out.isEmpty());
    }

    // A file name whose bytes are not UTF-8 would reach the program changed: refused, and no
    // file of another name is written.
    void namesThatAreNotUtf8AreRefused_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("output") << QStringLiteral("exec \"$0\" file convert cards.xml "
                                                  "\"$(printf 'out\\377.csv')\"");
        QTest::newRow("existing input")
            << QStringLiteral("printf 'DataNO\\n' > \"$(printf 'in\\377.csv')\"; exec \"$0\" file "
                              "show \"$(printf 'in\\377.csv')\"");
    }

    void namesThatAreNotUtf8AreRefused()
    {
        QFETCH(QString, script);
        QTemporaryDir folder;
        QVERIFY(QFile::copy(path("cards.xml"), folder.filePath(QStringLiteral("cards.xml"))));
        QProcess p;
        p.setWorkingDirectory(folder.path());
        p.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"), script, QStringLiteral(KT480CTL_PATH)});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 2);
        const QByteArray err = p.readAllStandardError();
        QVERIFY2(err.contains("is not UTF-8 text"), err.constData());
        const QStringList names = QDir(folder.path()).entryList(QDir::Files);
        // A name Qt cannot spell is removed by the shell that made it.
        QProcess::execute(
            QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"), QStringLiteral("rm -f -- \"$0\"/*"), folder.path()});
        for (const QString &name : names)
            QVERIFY2(!name.startsWith(QLatin1String("out")), qPrintable(name));
    }

private:
    QString path(const char *name) const { return dir_.filePath(QString::fromLatin1(name)); }

    Run ctl(QStringList arguments)
    {
        for (QString &a : arguments) {
            if (a == QLatin1String("@tcp"))
                a = QStringLiteral("--tcp=") + tcp_;
            a.replace(QStringLiteral("@/"), dir_.path() + u'/');
        }
        // The report draws with a GUI application, which warns without a runtime folder.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        environment.insert(QStringLiteral("KT480_JOURNAL_DIR"), path("journal"));
        return RunCtlServed(arguments, dir_.path(), environment);
    }

    void expectRefusal(const QStringList &arguments, const QStringList &named)
    {
        const QMap<QString, QByteArray> before = Snapshot(dir_.path());
        const int connectionsBefore = connections_;
        const Run r = ctl(arguments);
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.out.isEmpty(), r.out.constData());
        QCOMPARE(r.err.count('\n'), 1);
        for (const QString &text : named)
            QVERIFY2(r.err.contains(text.toUtf8()), r.err.constData());
        QCOMPARE(connections_, connectionsBefore);
        QCOMPARE(Snapshot(dir_.path()), before);
    }

    QTemporaryDir dir_;
    QTemporaryDir runtime_;
    QTcpServer controller_;
    QString tcp_;
    int connections_ = 0;
};

QTEST_GUILESS_MAIN(TestCliArguments)
#include "test_cli_arguments.moc"
