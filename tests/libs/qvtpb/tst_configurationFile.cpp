// Reading and writing the configuration byte format: every outcome of load() on
// crafted bytes, and the exact header compose() writes.
#include <qvtpb/configurationFile.h>

#include <QtTest>

using QVt::Pb::Configuration::File;

namespace {

const QString PRODUCT_ID = QStringLiteral("0000c0de0003");
constexpr int HEADER_SIZE = 22;
// A configuration message holding an empty WLAN interface (field 3, length 0).
const QByteArray BODY("\x1a\x00", 2);

QByteArray changed(QByteArray data, int offset, char mask)
{
    data[offset] = char(data.at(offset) ^ mask);
    return data;
}

} // namespace

class TestConfigurationFile : public QObject
{
    Q_OBJECT

private slots:
    void load_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("loadError");

        const QByteArray good = File::compose(PRODUCT_ID, BODY);
        QTest::newRow("good") << good << int(File::LOAD_ERROR_NONE);
        // The version is the big-endian word at offset 4; version 1 is ours.
        QTest::newRow("obsolete version 0") << changed(good, 5, 0x01) << int(File::LOAD_ERROR_VERSION_OBSOLETE);
        QTest::newRow("next version 2") << changed(good, 5, 0x03) << int(File::LOAD_ERROR_VERSION_MISMATCH);
        QTest::newRow("body byte damaged") << changed(good, good.size() - 1, 0x5a) << int(File::LOAD_ERROR_CHECKSUM);
        QTest::newRow("stored CRC damaged") << changed(good, 18, 0x5a) << int(File::LOAD_ERROR_CHECKSUM);
        QTest::newRow("body truncated") << good.left(good.size() - 1) << int(File::LOAD_ERROR_PARSE);
        QTest::newRow("header truncated") << good.left(HEADER_SIZE - 1) << int(File::LOAD_ERROR_PARSE);
        QTest::newRow("byte appended") << good + '\0' << int(File::LOAD_ERROR_PARSE);
        // A body that is no protobuf message, under a correct length and CRC.
        QTest::newRow("unparsable body") << File::compose(PRODUCT_ID, "\xff\xff\xff\xff") << int(File::LOAD_ERROR_PARSE);
    }

    void load()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, loadError);
        const bool loaded = loadError == File::LOAD_ERROR_NONE;

        File file;
        // Nothing of an earlier load, good or bad, may show through.
        file.load(loaded ? QByteArray("nonsense") : File::compose(QStringLiteral("0000c0de0001"), BODY));
        QCOMPARE(file.load(data), loaded);
        QCOMPARE(int(file.loadError()), loadError);
        QCOMPARE(file.productId(), loaded ? PRODUCT_ID : QString());
        QCOMPARE(file.body(), loaded ? data.mid(HEADER_SIZE) : QByteArray());
    }

    void composeWritesTheHeader()
    {
        // CRC-32 of "123456789" is the standard check value 0xcbf43926.
        const QByteArray expected = QByteArray::fromHex("4b544243"          // "KTBC"
                                                        "0001"              // format version
                                                        "00000000c0de0001"  // product ID
                                                        "00000009"          // body length
                                                        "cbf43926")         // CRC-32
            + QByteArray("123456789");
        QCOMPARE(File::compose(QStringLiteral("C0DE0001"), QByteArray("123456789")).toHex(), expected.toHex());
        QTest::ignoreMessage(QtWarningMsg, "Invalid product ID \"0000c0de000g\"");
        QVERIFY(File::compose(QStringLiteral("0000c0de000g"), BODY).isEmpty());
        QTest::ignoreMessage(QtWarningMsg, "Invalid product ID \"10000000000000000\"");
        QVERIFY(File::compose(QStringLiteral("10000000000000000"), BODY).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestConfigurationFile)
#include "tst_configurationFile.moc"
