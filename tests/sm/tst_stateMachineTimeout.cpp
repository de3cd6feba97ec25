// A unit that never answers: the facade's 10 s watch ends the attempt. Slow by nature.
#include "deviceTestSupport.h"
#include "simulatorProcess.h"

#include "comms/commsHandler.h"
#include "comms/protocol/bootProtocol.h"
#include "sm/stateMachine.h"

#include <qvtpb/utilities.h>

#include <QElapsedTimer>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace DeviceTestSupport;
using QVt::Comms::CommsHandler;
using QVt::Comms::Protocol::BootProtocol;
using QVt::Sm::StateMachine;

class TestStateMachineTimeout : public QObject
{
    Q_OBJECT

private slots:
    void silentDeviceTimesOut();
};

void TestStateMachineTimeout::silentDeviceTimesOut()
{
    QStandardPaths::setTestModeEnabled(true);
    QVt::Pb::Utilities::registerMetaTypes();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("port"));
    SimulatorProcess simulator;
    QVERIFY(simulator.start({QStringLiteral("--link"), link, QStringLiteral("--fault"), QStringLiteral("silent"),
                             QStringLiteral("--verbose")}));
    qputenv("KTBRIDGE_EXTRA_PORTS", link.toLocal8Bit());
    QSettings().setValue(QStringLiteral("comms/serial/port"), link);
    CommsHandler::instance();

    StateMachine stateMachine(nullptr);
    QSignalSpy busy(&stateMachine, &StateMachine::busyChanged);
    stateMachine.start();
    // The start announces itself before the machine is handed over; wait for both.
    QTRY_VERIFY(!busy.isEmpty());
    QSignalSpy timeout(&stateMachine, &StateMachine::timeout);
    QTRY_VERIFY_WITH_TIMEOUT((stateMachine.doConnect(), stateMachine.busy()), 5000);

    QElapsedTimer waited;
    waited.start();
    QTRY_COMPARE_WITH_TIMEOUT(timeout.count(), 1, 15000);

    QVERIFY2(waited.elapsed() >= 9000, qPrintable(QString::number(waited.elapsed())));
    QCOMPARE(stateMachine.busy(), false);
    QCOMPARE(stateMachine.connected(), false);
    // The boot sequence went out again and again while the device kept silent.
    QVERIFY(simulator.standardError().count(receivedLine(BootProtocol::buildBootSequence())) >= 10);
}

QTEST_MAIN(TestStateMachineTimeout)
#include "tst_stateMachineTimeout.moc"
