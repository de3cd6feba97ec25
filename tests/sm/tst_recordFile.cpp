// Records appended by processes that share one file: one whole line each, whatever the
// file is or however full its disk.
#include "sm/recordFile.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

const QJsonObject RECORD{{"outcome", "SUCCESS"}, {"port", "/dev/ttyUSB0"}};

void limitFileSize(rlim_t bytes)
{
    const rlimit limit{bytes, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace

class TestRecordFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A write past the size limit then falls short as on a full disk.
        std::signal(SIGXFSZ, SIG_IGN);
    }

    void append_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("earlier");
        QTest::addColumn<QString>("error"); // empty: appended
        QTest::addColumn<QByteArray>("after");
        const QByteArray line = QJsonDocument(RECORD).toJson(QJsonDocument::Compact) + '\n';
        QTest::newRow("no file yet") << "file" << QByteArray() << "" << line;
        QTest::newRow("after the earlier records") << "file" << QByteArray("{}\n") << "" << "{}\n" + line;
        QTest::newRow("earlier record cut short: ended first") << "file" << QByteArray("{\"out") << ""
                                                               << "{\"out\n" + line;
        QTest::newRow("disk full: no half record left") << "full" << QByteArray("{}\n") << "only 3 of" << QByteArray("{}\n");
        QTest::newRow("FIFO without a reader: refused at once") << "fifo" << QByteArray() << "not a regular file" << QByteArray();
        QTest::newRow("folder") << "folder" << QByteArray() << "Is a directory" << QByteArray();
    }

    void append()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, earlier);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath("records.jsonl");
        QFile file(path);
        if (!earlier.isEmpty())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(earlier) == earlier.size());
        file.close();
        if (kind == "fifo")
            QCOMPARE(::mkfifo(qPrintable(path), 0600), 0);
        if (kind == "folder")
            QVERIFY(QDir().mkdir(path));
        if (kind == "full")
            limitFileSize(rlim_t(earlier.size() + 3));

        QString reason;
        const bool appended = QVt::Sm::appendRecordLine(path, RECORD, &reason);
        limitFileSize(RLIM_INFINITY);

        QCOMPARE(appended, error.isEmpty());
        QVERIFY2(error.isEmpty() ? reason.isEmpty() : reason.startsWith(error), qPrintable(reason));
        if (kind == "file" || kind == "full")
            QTEST(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(), "after");
    }
};

QTEST_GUILESS_MAIN(TestRecordFile)
#include "tst_recordFile.moc"
