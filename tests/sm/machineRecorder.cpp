#include "machineRecorder.h"

#include "config/saveStatusTracker.h"

#include <boost/msm/back/metafunctions.hpp>

using QVt::Config::SaveStatusTracker;
using QVt::Sm::Machine;
using D = QVt::Sm::StateMachineDefinition;
using namespace QVt::Sm;

namespace {

template <class State>
bool isIn(const Machine &machine)
{
    return machine.current_state()[0] == boost::msm::back::get_state_id<Machine::stt, State>::value;
}

QString text(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

void log(const QString &entry)
{
    TestDevice::log(entry);
}

} // namespace

const QByteArray MachineRecorder::IDENTIFICATION = QByteArrayLiteral("KT Bridge CW 1.0");
const QString MachineRecorder::PRODUCT_ID_A = QStringLiteral("0000000000a1");

MachineRecorder::MachineRecorder(QObject *parent)
    : QObject(parent)
{
    connect(&mMachine, &D::writeData, this, [](const QByteArray &data) { log("writeData " + QString::fromLatin1(data.toHex())); });
    connect(&mMachine, &D::startCyclicWrite, this, [](const QByteArray &data, int intervalMs, bool stopOnData) {
        log(QStringLiteral("startCyclicWrite %1 %2 %3").arg(QString::fromLatin1(data.toHex())).arg(intervalMs).arg(text(stopOnData)));
    });
    connect(&mMachine, &D::stopCyclicWrite, this, [] { log("stopCyclicWrite"); });
    connect(&mMachine, &D::connectedChanged, this, [](bool connected) { log("connectedChanged " + text(connected)); });
    connect(&mMachine, &D::busyChanged, this, [](bool busy) { log("busyChanged " + text(busy)); });
    connect(&mMachine, &D::currentDeviceChanged, this, [](QObject *device) {
        const auto *testDevice = qobject_cast<TestDevice *>(device);
        log("currentDeviceChanged " + (testDevice ? testDevice->name() : QStringLiteral("null")));
    });
    connect(&mMachine, &D::deviceIdStringChanged, this,
            [](const QString &id) { log(QStringLiteral("deviceIdStringChanged \"%1\"").arg(id)); });
    connect(&mMachine, &D::deviceUnsupported, this, [](const QString &id, const QString &productId) {
        log(QStringLiteral("deviceUnsupported \"%1\" \"%2\"").arg(id, productId));
    });
    connect(&mMachine, &D::deviceError, this, [] { log("deviceError"); });
    connect(&mMachine, &D::startTimeoutWatch, this, [](int ms) { log("startTimeoutWatch " + QString::number(ms)); });
    connect(&mMachine, &D::stopTimeoutWatch, this, [] { log("stopTimeoutWatch"); });
    connect(&mMachine, &D::connectSuccessful, this, [] { log("connectSuccessful"); });
    connect(&mMachine, &D::disconnectSuccessful, this, [] { log("disconnectSuccessful"); });
    connect(&mMachine, &D::readFromDeviceSuccessful, this, [] { log("readFromDeviceSuccessful"); });
    connect(&mMachine, &D::writeToDeviceSuccessful, this, [] { log("writeToDeviceSuccessful"); });
    connect(&mMachine, &D::factoryResetSuccessful, this, [] { log("factoryResetSuccessful"); });
    connect(&mMachine, &D::pairingModeSuccessful, this, [] { log("pairingModeSuccessful"); });
    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    connect(tracker, &SaveStatusTracker::configurationTypeChanged, this,
            [](QVt::Global::Types::eConfigurationType type) { log("configurationType " + QString::number(type)); });
    connect(tracker, &SaveStatusTracker::saveNeededChanged, this, [](bool saveNeeded) { log("saveNeeded " + text(saveNeeded)); });
    mMachine.start();
}

Machine &MachineRecorder::machine()
{
    return mMachine;
}

QStringList MachineRecorder::takeLog()
{
    return TestDevice::takeLog();
}

QString MachineRecorder::state() const
{
    if (isIn<D::StateDisconnected>(mMachine))
        return QStringLiteral("StateDisconnected");
    if (isIn<D::StateAttemptingConnection>(mMachine))
        return QStringLiteral("StateAttemptingConnection");
    if (isIn<D::StateReadProductId>(mMachine))
        return QStringLiteral("StateReadProductId");
    if (isIn<D::StateConnected>(mMachine))
        return QStringLiteral("StateConnected");
    if (isIn<D::StateReadDeviceConfiguration>(mMachine))
        return QStringLiteral("StateReadDeviceConfiguration");
    if (isIn<D::StateWriteDeviceConfiguration>(mMachine))
        return QStringLiteral("StateWriteDeviceConfiguration");
    // The other states are only passed through.
    return QStringLiteral("transient");
}

void MachineRecorder::reach(Start start)
{
    if (start != Start::Disconnected)
        give(Event::Connect);
    if (start >= Start::ReadProductId)
        give(Event::NewData, IDENTIFICATION);
    if (start >= Start::Connected) {
        give(Event::NewData, productIdReply(PRODUCT_ID_A));
        give(Event::NewData, "Lreported");
    }
    if (start == Start::ReadDeviceConfiguration)
        give(Event::ReadDeviceConfiguration);
    if (start == Start::WriteDeviceConfiguration)
        give(Event::WriteDeviceConfiguration);
    takeLog();
}

void MachineRecorder::give(Event event, const QByteArray &data)
{
    switch (event) {
    case Event::Connect: mMachine.process_event(EventConnect{}); break;
    case Event::Disconnect: mMachine.process_event(EventDisconnect{}); break;
    case Event::EnterNormalOperation: mMachine.process_event(EventEnterNormalOperation{}); break;
    case Event::EnterPairingMode: mMachine.process_event(EventEnterPairingMode{}); break;
    case Event::FactoryReset: mMachine.process_event(EventFactoryReset{}); break;
    case Event::ReadDeviceConfiguration: mMachine.process_event(EventReadDeviceConfiguration{}); break;
    case Event::WriteDeviceConfiguration: mMachine.process_event(EventWriteDeviceConfiguration{}); break;
    case Event::NewData: mMachine.process_event(EventNewData{data}); break;
    case Event::CommsError: mMachine.process_event(EventCommsError{5}); break;
    case Event::Timeout: mMachine.process_event(EventTimeout{}); break;
    case Event::LoadError:
        mMachine.process_event(EventLoadError{QVt::Pb::Configuration::File::LOAD_ERROR_CHECKSUM});
        break;
    case Event::SetDevice: mMachine.process_event(EventSetDevice{loadedDevice({PRODUCT_ID_A})}); break;
    case Event::Autoflash: mMachine.process_event(EventAutoflash{}); break;
    }
}

QByteArray MachineRecorder::productIdReply(const QString &productId)
{
    return '\x01' + QByteArray::fromHex(productId.toLatin1());
}

QSharedPointer<TestDevice> MachineRecorder::loadedDevice(const QStringList &productIds)
{
    return QSharedPointer<TestDevice>::create(QStringLiteral("File A"), productIds);
}

TestDevice *MachineRecorder::currentTestDevice() const
{
    return qobject_cast<TestDevice *>(mMachine.currentDeviceObject());
}
