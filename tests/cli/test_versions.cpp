// --version of the three programs: the project's version, and the git revision when built from
// a checkout; a build from a source tarball (no .git) has the version alone.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TestVersions : public QObject
{
    Q_OBJECT

private slots:
    void everyProgramNamesItsVersion_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("name");
        QTest::newRow("kt480ctl") << QStringLiteral(KT480CTL_PATH) << QStringLiteral("kt480ctl");
        QTest::newRow("kt480sim") << QStringLiteral(KT480SIM_PATH) << QStringLiteral("kt480sim");
        QTest::newRow("kt480nt5") << QStringLiteral(KT480NT5_PATH) << QStringLiteral("kt480nt5");
    }

    void everyProgramNamesItsVersion()
    {
        QFETCH(QString, program);
        QFETCH(QString, name);
        QProcess p;
        // The window program answers without a display.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        p.setProcessEnvironment(environment);
        p.start(program, {QStringLiteral("--version")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QRegularExpression form(
            QStringLiteral("^%1 %2( \\(git ([0-9a-f]{7,})(-dirty)?\\))?\\n$")
                .arg(name, QRegularExpression::escape(QStringLiteral(KT480_PROJECT_VERSION))));
        const QRegularExpressionMatch match = form.match(out);
        QVERIFY2(match.hasMatch(), qPrintable(out));
        if (!QFileInfo::exists(QStringLiteral(KT480_SOURCE_DIR "/.git")))
            return;
        // Built from this checkout: a revision of it.
        QVERIFY2(match.hasCaptured(2), qPrintable(out));
        QProcess git;
        git.setWorkingDirectory(QStringLiteral(KT480_SOURCE_DIR));
        git.start(QStringLiteral("git"), {QStringLiteral("cat-file"), QStringLiteral("-e"),
                                          match.captured(2) + "^{commit}"});
        QVERIFY(git.waitForFinished(30000));
        QCOMPARE(git.exitCode(), 0);
    }

    // The revision is looked up in the source folder only: a tarball unpacked anywhere, also
    // inside another repository, has none, and the build goes on.
    void aSourceTarballHasNoRevision()
    {
        QTemporaryDir source;
        QVERIFY(source.isValid());
        const QString header = source.filePath(QStringLiteral("out/BuildRevision.h"));
        QVERIFY(QDir().mkpath(source.filePath(QStringLiteral("out"))));
        QProcess cmake;
        cmake.start(QStringLiteral(KT480_CMAKE_COMMAND),
                    {QStringLiteral("-DSOURCE_DIR=") + source.path(),
                     QStringLiteral("-DOUTPUT=") + header, QStringLiteral("-P"),
                     QStringLiteral(KT480_SOURCE_DIR "/cmake/BuildRevision.cmake")});
        QVERIFY(cmake.waitForFinished(30000));
        QCOMPARE(cmake.exitCode(), 0);
        QFile file(header);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("#define KT480_GIT_REVISION \"\"\n"));
    }
};

QTEST_GUILESS_MAIN(TestVersions)
#include "test_versions.moc"
