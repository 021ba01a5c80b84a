// Runs the fuzz targets' properties over every file of their seed corpora (and the session
// reader's over the golden files), with the normal compiler, so the suite catches what the
// fuzzers once found.
#include "RecoveryCopyProperty.h"
#include "RosterFileProperty.h"
#include "SessionFileProperty.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>

class TestCorpusReplay : public QObject {
    Q_OBJECT

private slots:
    void propertyHolds_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("recovery");  // a copy and its info rather than a session file
        int files = 0;
        for (const QString& folder : {QStringLiteral(KOLVANE_FUZZ_CORPUS), QStringLiteral(KOLVANE_TEST_DATA),
                                      QStringLiteral(KOLVANE_RECOVERY_CORPUS)}) {
            QStringList paths;
            QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                paths << it.next();
            paths.sort();
            for (const QString& p : paths) {
                QTest::newRow(qPrintable(QDir(folder).relativeFilePath(p)))
                    << p << (folder == QStringLiteral(KOLVANE_RECOVERY_CORPUS));
                ++files;
            }
        }
        QVERIFY2(files >= 30, "a seed corpus is missing");
    }
    void propertyHolds()
    {
        QFETCH(QString, path);
        QFETCH(bool, recovery);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const QString problem = recovery ? kolvane::recoveryCopyProperty(bytes) : kolvane::sessionFileProperty(bytes);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
    // The roster reader's seeds and finds, the same way.
    void rosterPropertyHolds_data()
    {
        QTest::addColumn<QString>("path");
        QDirIterator it(QStringLiteral(KOLVANE_ROSTER_CORPUS), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString p = it.next();
            QTest::newRow(qPrintable(QDir(QStringLiteral(KOLVANE_ROSTER_CORPUS)).relativeFilePath(p))) << p;
        }
    }
    void rosterPropertyHolds()
    {
        QFETCH(QString, path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString problem = kolvane::rosterFileProperty(f.readAll());
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
};

QTEST_GUILESS_MAIN(TestCorpusReplay)
#include "test_corpus_replay.moc"
