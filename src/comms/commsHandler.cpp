#include "comms/commsHandler.h"

#include "comms/serialProvider.h"
#include "global/logging.h"
#include "global/threadHandoff.h"

#include <QDebug>
#include <QSettings>

namespace QVt {
namespace Comms {

namespace {

const QString PROVIDER_SETTINGS_KEY = QStringLiteral("comms/provider");
const QString SERIAL_PROVIDER_TYPE = QStringLiteral("Serial");

} // namespace

QSharedPointer<CommsHandler> CommsHandler::mInstance;

CommsHandler *CommsHandler::instance()
{
    if (!mInstance)
        mInstance.reset(new CommsHandler(nullptr));
    return mInstance.data();
}

CommsHandler::CommsHandler(QObject *parent)
    : QObject(parent)
    , mProviderTypes{SERIAL_PROVIDER_TYPE}
{
    mWorkerThread.setObjectName(QStringLiteral("comms worker"));
    connect(&mCyclicTimer, &QTimer::timeout, this, &CommsHandler::onCyclicTimer);
    // The worker's end comes before wait() returns (releaseProvider()).
    connect(&mWorkerThread, &QThread::finished, this,
            [this] { Global::ThreadHandoff::release(&mWorkerThread); }, Qt::DirectConnection);
    // A hub on a thread of its own (the autoflash mode) outlives that thread's loop, and is
    // destroyed from another thread: its provider and settings are released on their own
    // thread as it ends, where they can still be deleted. The main thread never signals this.
    connect(thread(), &QThread::finished, this, &CommsHandler::onThreadFinished,
            Qt::DirectConnection);
    setCurrentProviderType(
        QSettings().value(PROVIDER_SETTINGS_KEY, mProviderTypes.constFirst()).toString());
}

CommsHandler::~CommsHandler()
{
    onThreadFinished();
}

QObject *CommsHandler::currentProvider() const
{
    return mProvider.data();
}

QStringList CommsHandler::providerTypes() const
{
    return mProviderTypes;
}

QString CommsHandler::currentProviderType() const
{
    return mCurrentProviderType;
}

void CommsHandler::setCurrentProviderType(const QString &providerType)
{
    if (providerType == mCurrentProviderType || !mProviderTypes.contains(providerType))
        return;

    releaseProvider();
    mCurrentProviderType = providerType;

    // Every listed type creates a provider; "Serial" is the only one.
    auto *serial = new SerialProvider(nullptr);
    connect(this, &CommsHandler::writeData, serial, &SerialProvider::onWriteData);
    connect(this, &CommsHandler::replyHandled, serial, &SerialProvider::onReplyHandled);
    mProvider.reset(serial);
    mProvider->moveToThread(&mWorkerThread);
    connect(mProvider.data(), &DataProvider::newData, this, [this](const QByteArray &data) {
        deliverFromLink([this, data] { emit newData(data); });
    }, Qt::DirectConnection);
    connect(mProvider.data(), &DataProvider::errorOccurred, this, [this](quint16 errorCode, const QString &errorText) {
        deliverFromLink([this, errorCode, errorText] { emit errorOccurred(errorCode, errorText); });
    }, Qt::DirectConnection);
    mWorkerThread.start();

    emit currentProviderTypeChanged(mCurrentProviderType);
    emit currentProviderChanged(mProvider.data());
    // Written only when it changes: every start would otherwise rewrite the settings file
    // (lock file, sync, rename) before the first byte goes out.
    QSettings settings;
    if (settings.value(PROVIDER_SETTINGS_KEY).toString() != mCurrentProviderType)
        settings.setValue(PROVIDER_SETTINGS_KEY, mCurrentProviderType);
}

void CommsHandler::open()
{
    runInWorkerThread(&DataProvider::open);
}

void CommsHandler::close()
{
    runInWorkerThread(&DataProvider::close);
    mLink.fetchAndAddOrdered(1);
}

void CommsHandler::onWriteData(QByteArray data)
{
    emit writeData(data);
}

void CommsHandler::onStartCyclicWrite(QByteArray data, int intervalMs, bool stopOnData)
{
    if (!mProvider || !mWorkerThread.isRunning()) {
        qCWarning(Global::logLink) << "Attempted a cyclic write without a running data provider.";
        return;
    }
    if (data.isEmpty()) {
        qCWarning(Global::logLink) << "Attempted a cyclic write with empty data.";
        return;
    }

    mCyclicTimer.setInterval(intervalMs);
    mCyclicTimer.setSingleShot(true);
    if (stopOnData) {
        disconnect(this, &CommsHandler::newData, this, &CommsHandler::onStopCyclicWrite);
        connect(this, &CommsHandler::newData, this, &CommsHandler::onStopCyclicWrite);
    }
    mCyclicData = data;
    mCyclicIntervalMs = intervalMs;
    mStopOnData = stopOnData;

    onWriteData(data);
    mCyclicTimer.start();
}

void CommsHandler::onReplyHandled(bool replyAwaited)
{
    emit replyHandled(replyAwaited);
}

void CommsHandler::onStopCyclicWrite()
{
    mCyclicTimer.stop();
    disconnect(this, &CommsHandler::newData, this, &CommsHandler::onStopCyclicWrite);
    mCyclicData.clear();
    mCyclicIntervalMs = 0;
    mStopOnData = true;
}

void CommsHandler::onCyclicTimer()
{
    onStartCyclicWrite(mCyclicData, mCyclicIntervalMs, mStopOnData);
}

void CommsHandler::onThreadFinished()
{
    mCyclicTimer.stop();
    releaseProvider();
}

void CommsHandler::releaseProvider()
{
    if (mProvider)
        mProvider->disconnect();
    // The provider dies only after its thread has finished, so no slot of it can
    // still be running or be called while it is destroyed.
    mWorkerThread.quit();
    mWorkerThread.wait();
    Global::ThreadHandoff::acquire(&mWorkerThread);
    mProvider.reset();
}

template<typename Deliver>
void CommsHandler::deliverFromLink(Deliver deliver)
{
    const quint64 link = mLink.loadAcquire();
    const Global::ThreadHandoff handoff(this);
    QMetaObject::invokeMethod(this, [this, link, deliver, handoff] {
        handoff.receive();
        if (link == mLink.loadAcquire())
            deliver();
    }, Qt::QueuedConnection);
}

void CommsHandler::runInWorkerThread(void (DataProvider::*operation)())
{
    if (!mProvider)
        return;
    DataProvider *provider = mProvider.data();
    if (QThread::currentThread() == provider->thread() || !mWorkerThread.isRunning()) {
        (provider->*operation)();
        return;
    }
    const Global::ThreadHandoff handoff(provider);
    QMetaObject::invokeMethod(provider, [provider, operation, handoff] {
            handoff.receive();
            (provider->*operation)();
            Global::ThreadHandoff::release(provider);
        }, Qt::BlockingQueuedConnection);
    Global::ThreadHandoff::acquire(provider);
}

} // namespace Comms
} // namespace QVt
