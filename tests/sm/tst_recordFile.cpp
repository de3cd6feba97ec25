// Records appended by processes that share one file: one whole line each, whatever the
// file is or however full its disk.
#include "sm/recordFile.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

class TestRecordFile : public QObject
{
    Q_OBJECT

private slots:
    void append_data()
    {
        QTest::addColumn<QByteArray>("earlier"); // "fifo", "folder" or the file's content
        QTest::addColumn<int>("sizeLimit"); // a full disk after so many bytes; 0: none
        QTest::addColumn<QString>("error"); // empty: appended
        QTest::addColumn<QByteArray>("after");
        const QByteArray line = "{\"outcome\":\"SUCCESS\"}\n";
        QTest::newRow("after the earlier records") << QByteArray("{}\n") << 0 << "" << "{}\n" + line;
        QTest::newRow("earlier record cut short: ended first") << QByteArray("{\"out") << 0 << "" << "{\"out\n" + line;
        QTest::newRow("disk full: no half record left") << QByteArray("{}\n") << 6 << "only 3 of" << QByteArray("{}\n");
        QTest::newRow("FIFO without a reader: refused at once") << QByteArray("fifo") << 0 << "not a regular file" << QByteArray();
        QTest::newRow("folder") << QByteArray("folder") << 0 << "Is a directory" << QByteArray();
    }

    void append()
    {
        QFETCH(QByteArray, earlier);
        QFETCH(int, sizeLimit);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath("records.jsonl");
        QFile file(path);
        if (earlier == "fifo")
            QCOMPARE(::mkfifo(qPrintable(path), 0600), 0);
        else if (earlier == "folder")
            QVERIFY(QDir().mkdir(path));
        else
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(earlier) == earlier.size());
        file.close();
        // A write past the size limit falls short, as on a full disk.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{sizeLimit ? rlim_t(sizeLimit) : RLIM_INFINITY, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &limit);

        QString reason;
        const bool appended = QVt::Sm::appendRecordLine(path, {{"outcome", "SUCCESS"}}, &reason);
        limit.rlim_cur = RLIM_INFINITY;
        setrlimit(RLIMIT_FSIZE, &limit);

        QCOMPARE(appended, error.isEmpty());
        QVERIFY2(error.isEmpty() ? reason.isEmpty() : reason.startsWith(error), qPrintable(reason));
        if (earlier != "fifo" && earlier != "folder")
            QTEST(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(), "after");
    }
};

QTEST_GUILESS_MAIN(TestRecordFile)
#include "tst_recordFile.moc"
