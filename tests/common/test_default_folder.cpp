#include "DefaultFolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

// Where the default files go: beside a program the user can write next to, otherwise (and
// always beside an installed program) in the user's documents folder.
class TestDefaultFolder : public QObject
{
    Q_OBJECT

    QString documents_;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        documents_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }

    void aFolderOfOnesOwnKeepsItsFiles()
    {
        QTemporaryDir program;
        QCOMPARE(DefaultFileFolder(program.path(), {QStringLiteral("/usr/bin")}), program.path());
        // Nothing is left behind by the check.
        QCOMPARE(
            QDir(program.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList());
    }

    void theInstalledFolderNeverHoldsThem()
    {
        QTemporaryDir program;
        QCOMPARE(DefaultFileFolder(program.path(), {QStringLiteral("/usr/bin"),
                                                    program.path() + QStringLiteral("/")}),
                 documents_);
        QVERIFY(QDir(documents_).exists());
    }

    void aMissingFolderSendsThemToDocuments()
    {
        QTemporaryDir program;
        QCOMPARE(DefaultFileFolder(program.filePath(QStringLiteral("gone")), {}), documents_);
    }

    void aReadOnlyFolderSendsThemToDocuments()
    {
        QTemporaryDir program;
        if (geteuid() == 0)
            QSKIP("root writes into a read-only folder");
        QVERIFY(QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::ExeOwner));
        QCOMPARE(DefaultFileFolder(program.path(), {}), documents_);
        QFile::setPermissions(program.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The program's files as the windows propose them: from a build tree, beside the program.
    void aBuildTreeKeepsTheProgramFolder()
    {
        QCOMPARE(DefaultFilePath(QStringLiteral("KT480NT-V5_CardData.xml")),
                 QDir(QCoreApplication::applicationDirPath())
                     .filePath(QStringLiteral("KT480NT-V5_CardData.xml")));
    }
};

QTEST_GUILESS_MAIN(TestDefaultFolder)
#include "test_default_folder.moc"
