#pragma once

#include "sm/replyWatch.h"
#include "sm/stateMachineDefinition.h"

#include <qvtbusgate/types.h>
#include <qvtpb/configurationFile.h>

#include <QObject>
#include <QPointer>
#include <QSharedPointer>
#include <QString>
#include <QThread>

namespace QVt {
namespace Sm {

// The one object through which QML and start-up drive device connections: turns
// operations, received data, communication errors and reply time-outs into machine
// events, relays the machine's signals, and moves configurations between files, the
// current device and a support archive (through WholeFile and SupportArchive).
// Owns the machine (a shared pointer); its own thread owns the reply watch for the
// life of run(). The object lives in the GUI thread, where every slot and operation
// runs and the machine is driven; its own thread (run()) builds and starts the machine
// and then serves only the reply watch.
class StateMachine : public QThread
{
    Q_OBJECT
    Q_PROPERTY(bool connected READ connected NOTIFY connectedChanged)
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    Q_PROPERTY(QObject *currentDevice READ currentDevice NOTIFY currentDeviceChanged)
    Q_PROPERTY(QString deviceIdString READ deviceIdString NOTIFY deviceIdStringChanged)

public:
    static StateMachine *instance();

    explicit StateMachine(QObject *parent);
    // Ends the thread (quit, then join) so that no running thread object is destroyed.
    ~StateMachine() override;

    void setStartupOptions(const QString &configurationFile, const bool &autoflash);
    // How long each step waits for the device's reply; set before start().
    void setReplyTimeout(int ms);

    bool connected() const;
    bool busy() const;
    QObject *currentDevice() const;
    QString deviceIdString() const;
    // The connected device's product ID, empty while none is known.
    QString productId() const;
    // The product ID the configuration last loaded from a file was made for, as the load
    // read it; empty before any file loaded.
    QString loadedProductId() const;

    Q_INVOKABLE void doConnect();
    Q_INVOKABLE void doDisconnect();
    Q_INVOKABLE void doEnterNormalOperation();
    Q_INVOKABLE void doLoadConfiguration(const QString &configurationUrl);
    Q_INVOKABLE void doNewConfiguration(const QString &productId);
    Q_INVOKABLE void doSaveConfiguration(const QString &configurationUrl);
    Q_INVOKABLE void doReadDeviceConfiguration();
    Q_INVOKABLE void doWriteDeviceConfiguration();
    Q_INVOKABLE void doEnterPairingMode();
    Q_INVOKABLE void doFactoryReset();
    Q_INVOKABLE void doPackSupportArchive(const QString &archiveUrl);

signals:
    void connectedChanged(bool connected);
    void busyChanged(bool busy);
    void currentDeviceChanged(QObject *currentDevice);
    void deviceIdStringChanged(QString deviceIdString);
    void deviceUnsupported(QString deviceIdString, QString productId);
    void configurationUnsupported(QString productId);
    void configurationVersionMismatch();
    void configurationVersionObsolete();
    void configurationChecksumError();
    void configurationParseError();
    void deviceError();
    void timeout();
    void commsError(quint16 errorCode, QString errorText);
    void loadFileSuccessful(QString filePath);
    void newFileSuccessful(QString deviceName);
    void saveFileSuccessful(QString filePath);
    void saveFileFailed(QString filePath, QString reason);
    void packSupportArchiveSuccessful(QString filePath);
    void packSupportArchiveFailed(QString filePath, QString reason);
    void connectSuccessful();
    void disconnectSuccessful();
    void readFromDeviceSuccessful();
    void writeToDeviceSuccessful();
    void factoryResetSuccessful();
    void pairingModeSuccessful();
    // The configuration file could not be read at all (reason says why); nothing changed.
    void configurationUnreadable(QString filePath, QString reason);
    // Relayed from the machine.
    void configurationTooLarge();
    void deviceInfoRead();
    void editedConfigurationReplaced(QString editedDeviceName);
    void configurationForAnotherProduct(QString deviceName, QString productId);
    void loadStartupOptions(QString configurationFile, bool autoflash);
    // A received payload has been handled; the link passes the next one only then.
    void replyHandled(bool replyAwaited);

protected:
    void run() override;

private slots:
    void onNewData(QByteArray data);
    void onLoadStartupOptions(QString configurationFile, bool autoflash);
    void onCommsError(quint16 errorCode, const QString &errorText);
    void onStartTimeoutWatch(int ms);
    void onStopTimeoutWatch();
    // Counts only for the watch's latest start: an expiry posted just before a stop or
    // a new start is dropped.
    void onTimeout(quint64 sequence);
    void onLoadError(QVt::Pb::Configuration::File::LOAD_ERROR loadError);
    void onCurrentDeviceChanged(QObject *currentDevice);

private:
    template<typename Event>
    void processEvent(const Event &event);
    // The machine's current device, or null while there is none or no machine yet.
    QSharedPointer<QVt::Device::AbstractDevice> sharedCurrentDevice() const;
    // Emits the configuration signal of a recognised load error; false for any other value.
    bool emitLoadErrorSignal(QVt::Pb::Configuration::File::LOAD_ERROR loadError);
    // A configuration without unsaved changes is now current (file path and URL empty
    // for one that has no file yet).
    void recordConfiguration(const QString &filePath, const QString &fileUrl,
                             QVt::Global::Types::eConfigurationType type);

    // Written only in the GUI thread: run() hands the started machine over with a
    // queued call, so no operation can reach it before its start has completed.
    QSharedPointer<Machine> mMachine;
    QString mConfigurationFile;
    QString mLoadedProductId;
    bool mAutoflash = false;
    int mReplyTimeoutMs = StateMachineDefinition::REPLY_TIMEOUT_MS;
    // Lives on run()'s stack; null outside run().
    QPointer<ReplyWatch> mReplyWatch;
    // The number of the watch's latest start or stop; GUI thread only.
    quint64 mWatchSequence = 0;

    static QSharedPointer<StateMachine> mInstance;
};

} // namespace Sm
} // namespace QVt
