#include "machineRecorder.h"

#include "config/saveStatusTracker.h"
#include "testDevice.h"

#include <boost/msm/back/metafunctions.hpp>

using QVt::Config::SaveStatusTracker;
using QVt::Sm::Machine;
using QVt::Sm::StateMachineDefinition;

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

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

} // namespace

const QByteArray MachineRecorder::Identification = QByteArrayLiteral("KT Bridge CW 1.0");
const QString MachineRecorder::ProductIdA = QStringLiteral("0000000000a1");

MachineRecorder::MachineRecorder(QObject *parent)
    : QObject(parent)
{
    using D = StateMachineDefinition;
    connect(&mMachine, &D::writeData, this, [this](const QByteArray &data) { record("writeData " + hex(data)); });
    connect(&mMachine, &D::startCyclicWrite, this, [this](const QByteArray &data, int intervalMs, bool stopOnData) {
        record(QStringLiteral("startCyclicWrite %1 %2 %3").arg(hex(data)).arg(intervalMs).arg(text(stopOnData)));
    });
    connect(&mMachine, &D::stopCyclicWrite, this, [this] { record("stopCyclicWrite"); });
    connect(&mMachine, &D::connectedChanged, this, [this](bool connected) { record("connectedChanged " + text(connected)); });
    connect(&mMachine, &D::busyChanged, this, [this](bool busy) { record("busyChanged " + text(busy)); });
    connect(&mMachine, &D::currentDeviceChanged, this, [this](QObject *device) {
        const auto *testDevice = qobject_cast<TestDevice *>(device);
        record("currentDeviceChanged " + (testDevice ? testDevice->name() : QStringLiteral("null")));
    });
    connect(&mMachine, &D::deviceIdStringChanged, this, [this](const QString &id) {
        record(QStringLiteral("deviceIdStringChanged \"%1\"").arg(id));
    });
    connect(&mMachine, &D::deviceUnsupported, this, [this](const QString &id, const QString &productId) {
        record(QStringLiteral("deviceUnsupported \"%1\" \"%2\"").arg(id, productId));
    });
    connect(&mMachine, &D::deviceError, this, [this] { record("deviceError"); });
    connect(&mMachine, &D::startTimeoutWatch, this, [this](int ms) { record("startTimeoutWatch " + QString::number(ms)); });
    connect(&mMachine, &D::stopTimeoutWatch, this, [this] { record("stopTimeoutWatch"); });
    connect(&mMachine, &D::connectSuccessful, this, [this] { record("connectSuccessful"); });
    connect(&mMachine, &D::disconnectSuccessful, this, [this] { record("disconnectSuccessful"); });
    connect(&mMachine, &D::readFromDeviceSuccessful, this, [this] { record("readFromDeviceSuccessful"); });
    connect(&mMachine, &D::writeToDeviceSuccessful, this, [this] { record("writeToDeviceSuccessful"); });
    connect(&mMachine, &D::factoryResetSuccessful, this, [this] { record("factoryResetSuccessful"); });
    connect(&mMachine, &D::pairingModeSuccessful, this, [this] { record("pairingModeSuccessful"); });

    SaveStatusTracker *tracker = SaveStatusTracker::instance();
    connect(tracker, &SaveStatusTracker::configurationTypeChanged, this,
            [this](QVt::Global::Types::eConfigurationType type) { record("configurationType " + QString::number(type)); });
    connect(tracker, &SaveStatusTracker::saveNeededChanged, this,
            [this](bool saveNeeded) { record("saveNeeded " + text(saveNeeded)); });

    mMachine.start();
}

MachineRecorder::~MachineRecorder() = default;

Machine &MachineRecorder::machine()
{
    return mMachine;
}

QStringList MachineRecorder::takeLog()
{
    QStringList log;
    log.swap(mLog);
    return log;
}

QString MachineRecorder::state() const
{
    using D = StateMachineDefinition;
    if (isIn<D::StateInitialization>(mMachine))
        return QStringLiteral("StateInitialization");
    if (isIn<D::StateDisconnected>(mMachine))
        return QStringLiteral("StateDisconnected");
    if (isIn<D::StateAttemptingConnection>(mMachine))
        return QStringLiteral("StateAttemptingConnection");
    if (isIn<D::StateReadProductId>(mMachine))
        return QStringLiteral("StateReadProductId");
    if (isIn<D::StateIdentifyDevice>(mMachine))
        return QStringLiteral("StateIdentifyDevice");
    if (isIn<D::StateConnected>(mMachine))
        return QStringLiteral("StateConnected");
    if (isIn<D::StateReadDeviceConfiguration>(mMachine))
        return QStringLiteral("StateReadDeviceConfiguration");
    if (isIn<D::StateWriteDeviceConfiguration>(mMachine))
        return QStringLiteral("StateWriteDeviceConfiguration");
    if (isIn<D::StateError>(mMachine))
        return QStringLiteral("StateError");
    return QStringLiteral("unknown");
}

void MachineRecorder::reach(Start start)
{
    if (start != Start::Disconnected)
        mMachine.process_event(QVt::Sm::EventConnect{});
    if (start >= Start::ReadProductId)
        giveData(Identification);
    if (start >= Start::Connected) {
        giveData(productIdReply(ProductIdA));
        giveData("L" + QByteArrayLiteral("reported"));
    }
    if (start == Start::ReadDeviceConfiguration)
        mMachine.process_event(QVt::Sm::EventReadDeviceConfiguration{});
    if (start == Start::WriteDeviceConfiguration)
        mMachine.process_event(QVt::Sm::EventWriteDeviceConfiguration{});
    mLog.clear();
}

void MachineRecorder::give(Event event, const QByteArray &data)
{
    using namespace QVt::Sm;
    switch (event) {
    case Event::Connect:
        mMachine.process_event(EventConnect{});
        break;
    case Event::Disconnect:
        mMachine.process_event(EventDisconnect{});
        break;
    case Event::EnterNormalOperation:
        mMachine.process_event(EventEnterNormalOperation{});
        break;
    case Event::EnterPairingMode:
        mMachine.process_event(EventEnterPairingMode{});
        break;
    case Event::FactoryReset:
        mMachine.process_event(EventFactoryReset{});
        break;
    case Event::ReadDeviceConfiguration:
        mMachine.process_event(EventReadDeviceConfiguration{});
        break;
    case Event::WriteDeviceConfiguration:
        mMachine.process_event(EventWriteDeviceConfiguration{});
        break;
    case Event::NewData:
        giveData(data);
        break;
    case Event::CommsError:
        mMachine.process_event(EventCommsError{5});
        break;
    case Event::Timeout:
        mMachine.process_event(EventTimeout{});
        break;
    case Event::LoadError:
        mMachine.process_event(EventLoadError{QVt::Pb::Configuration::File::LOAD_ERROR_CHECKSUM});
        break;
    case Event::SetDevice:
        mMachine.process_event(EventSetDevice{loadedDevice({ProductIdA})});
        break;
    case Event::Autoflash:
        mMachine.process_event(EventAutoflash{});
        break;
    }
}

void MachineRecorder::giveData(const QByteArray &data)
{
    mMachine.process_event(QVt::Sm::EventNewData{data});
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

void MachineRecorder::record(const QString &entry)
{
    mLog.append(entry);
}
