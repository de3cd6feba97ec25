#pragma once

#include <QAtomicInteger>
#include <QByteArray>
#include <QObject>
#include <QSharedPointer>
#include <QStringList>
#include <QThread>
#include <QTimer>

namespace QVt {
namespace Comms {

class DataProvider;

// The single entry point to the device link: keeps the provider types and the
// current one (remembered under "comms/provider"), owns the current provider and
// runs it in the communication worker thread, forwards writes to it and its
// payloads and errors back (none from a link closed since), and repeats a write on
// request (the cyclic write).
// Lives in the thread that created it; its worker thread is stopped and joined, and the
// provider released, before the hub goes away or, if that comes first, as the hub's own
// thread ends.
class CommsHandler : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QObject *currentProvider READ currentProvider NOTIFY currentProviderChanged)
    Q_PROPERTY(QStringList providerTypes READ providerTypes CONSTANT)
    Q_PROPERTY(QString currentProviderType READ currentProviderType WRITE setCurrentProviderType
                   NOTIFY currentProviderTypeChanged)

public:
    // The program's hub, created on the first call in the calling thread.
    static CommsHandler *instance();

    // Creates a hub with the remembered provider type; the program uses instance().
    explicit CommsHandler(QObject *parent = nullptr);
    ~CommsHandler() override;

    QObject *currentProvider() const;
    QStringList providerTypes() const;
    QString currentProviderType() const;
    void setCurrentProviderType(const QString &providerType);

    // Run the provider's open()/close() in its worker thread and wait for them, so
    // that they never overlap its slots; called from the worker thread, they run
    // at once.
    void open();
    void close();

public slots:
    void onWriteData(QByteArray data);
    void onStartCyclicWrite(QByteArray data, int intervalMs, bool stopOnData);
    void onStopCyclicWrite();
    // The state machine has handled the payload passed on last; the provider passes the
    // next one only then, and only while replyAwaited.
    void onReplyHandled(bool replyAwaited);

signals:
    void currentProviderChanged(QObject *provider);
    void currentProviderTypeChanged(QString providerType);
    void newData(QByteArray data);
    void errorOccurred(quint16 errorCode, QString errorText);
    void writeData(QByteArray data);
    void replyHandled(bool replyAwaited);

private slots:
    void onCyclicTimer();
    void onThreadFinished();

private:
    void releaseProvider();
    void runInWorkerThread(void (DataProvider::*operation)());
    // Called on the worker thread with what the provider received or reported; deliver
    // runs on the hub's thread, and only while the link it came from is still open: what
    // is still queued from a closed connection would otherwise reach the next one (a
    // stale reply taken as its identification text, a stale error ending it).
    template<typename Deliver>
    void deliverFromLink(Deliver deliver);

    static QSharedPointer<CommsHandler> mInstance;

    QSharedPointer<DataProvider> mProvider;
    const QStringList mProviderTypes;
    QString mCurrentProviderType;
    QThread mWorkerThread;
    QTimer mCyclicTimer;
    QByteArray mCyclicData;
    int mCyclicIntervalMs = 0;
    bool mStopOnData = true;
    // The number of the provider's current link, counted up by every close(); read on the
    // worker thread and the hub's.
    QAtomicInteger<quint64> mLink = 0;
};

} // namespace Comms
} // namespace QVt
