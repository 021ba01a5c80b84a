// Runs the fuzz target's property over every file of the seed corpus and the golden files,
// with the normal compiler, so the suite catches what the fuzzer once found.
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
        int files = 0;
        for (const QString& folder : {QStringLiteral(KOLVANE_FUZZ_CORPUS), QStringLiteral(KOLVANE_TEST_DATA)}) {
            QStringList paths;
            QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                paths << it.next();
            paths.sort();
            for (const QString& p : paths) {
                QTest::newRow(qPrintable(QDir(folder).relativeFilePath(p))) << p;
                ++files;
            }
        }
        QVERIFY2(files >= 10, "the seed corpus is missing");
    }
    void propertyHolds()
    {
        QFETCH(QString, path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const QString problem = kolvane::sessionFileProperty(bytes);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
};

QTEST_GUILESS_MAIN(TestCorpusReplay)
#include "test_corpus_replay.moc"
