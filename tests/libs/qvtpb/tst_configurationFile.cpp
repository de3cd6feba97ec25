// Reading and writing the configuration byte format: every outcome of load() on
// crafted bytes, and the exact header compose() writes.
#include <qvtpb/configurationFile.h>

#include <QtEndian>
#include <QtTest>

using QVt::Pb::Configuration::File;

namespace {

const QString PRODUCT_ID = QStringLiteral("0000c0de0003");
constexpr int VERSION_OFFSET = 4;
constexpr int CRC_OFFSET = 18;
constexpr int HEADER_SIZE = 22;

// A configuration message holding an empty WLAN interface (field 3, length 0).
const QByteArray BODY("\x1a\x00", 2);

QByteArray withVersion(QByteArray data, quint16 version)
{
    qToBigEndian(version, data.data() + VERSION_OFFSET);
    return data;
}

QByteArray withByteFlipped(QByteArray data, int offset)
{
    data[offset] = char(data.at(offset) ^ 0x5a);
    return data;
}

} // namespace

class TestConfigurationFile : public QObject
{
    Q_OBJECT

private slots:
    void load_data();
    void load();
    void composeWritesTheHeader();
    void composeProductId();
};

void TestConfigurationFile::load_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<int>("loadError");

    const QByteArray good = File::compose(PRODUCT_ID, BODY);
    const int ok = File::LOAD_ERROR_NONE;
    const int obsolete = File::LOAD_ERROR_VERSION_OBSOLETE;
    const int mismatch = File::LOAD_ERROR_VERSION_MISMATCH;
    const int checksum = File::LOAD_ERROR_CHECKSUM;
    const int parse = File::LOAD_ERROR_PARSE;

    QTest::newRow("good") << good << true << ok;
    QTest::newRow("obsolete version 0") << withVersion(good, 0) << false << obsolete;
    QTest::newRow("newer version 2") << withVersion(good, 2) << false << mismatch;
    QTest::newRow("body byte damaged") << withByteFlipped(good, good.size() - 1) << false << checksum;
    QTest::newRow("stored CRC damaged") << withByteFlipped(good, CRC_OFFSET) << false << checksum;
    QTest::newRow("body truncated") << good.left(good.size() - 1) << false << parse;
    QTest::newRow("header truncated") << good.left(HEADER_SIZE - 1) << false << parse;
    QTest::newRow("byte appended") << good + '\0' << false << parse;
    QTest::newRow("empty") << QByteArray() << false << parse;
    QTest::newRow("foreign file") << QByteArray("PK\x03\x04\x14\x00\x00\x00\x08\x00 and more of a zip") << false
                                  << parse;
    // A body that is no protobuf message, under a correct length and CRC.
    QTest::newRow("unparsable body") << File::compose(PRODUCT_ID, QByteArray("\xff\xff\xff\xff", 4)) << false
                                     << parse;
}

void TestConfigurationFile::load()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, loaded);
    QFETCH(int, loadError);

    File file;
    // Nothing of an earlier load, good or bad, may show through.
    file.load(loaded ? QByteArray("nonsense") : File::compose(QStringLiteral("0000c0de0001"), BODY));
    QCOMPARE(file.load(data), loaded);
    QCOMPARE(int(file.loadError()), loadError);
    QCOMPARE(file.productId(), loaded ? PRODUCT_ID : QString());
    QCOMPARE(file.body(), loaded ? data.mid(HEADER_SIZE) : QByteArray());
}

void TestConfigurationFile::composeWritesTheHeader()
{
    // CRC-32 of "123456789" is the standard check value 0xcbf43926.
    const QByteArray expected = QByteArray::fromHex("4b544243"          // "KTBC"
                                                    "0001"              // format version
                                                    "00000000c0de0001"  // product ID
                                                    "00000009"          // body length
                                                    "cbf43926")         // CRC-32
        + QByteArray("123456789");
    QCOMPARE(File::compose(QStringLiteral("0000c0de0001"), QByteArray("123456789")).toHex(), expected.toHex());
}

// Product IDs are written as 12 lower-case digits at least; what is no ID is refused.
void TestConfigurationFile::composeProductId()
{
    File file;
    QVERIFY(file.load(File::compose(QStringLiteral("C0DE0002"), BODY)));
    QCOMPARE(file.productId(), QStringLiteral("0000c0de0002"));
    QTest::ignoreMessage(QtWarningMsg, "Invalid product ID \"0000c0de000g\"");
    QVERIFY(File::compose(QStringLiteral("0000c0de000g"), BODY).isEmpty());
    QTest::ignoreMessage(QtWarningMsg, "Invalid product ID \"10000000000000000\"");
    QVERIFY(File::compose(QStringLiteral("10000000000000000"), BODY).isEmpty());
}

QTEST_GUILESS_MAIN(TestConfigurationFile)
#include "tst_configurationFile.moc"
