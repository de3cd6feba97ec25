// The finite-state machine of one device connection: waking the boot loader,
// identifying the device, reading and writing its configuration, the unattended
// autoflash run, and every way a connection ends. A Boost.Msm front-end; the back-end
// type is Machine. Talks to the outside through its signals and a few direct calls
// (command builders, the hub's close(), the device factory, the save status tracker).
// Owns the current device object (shared with whoever else holds it). Created and
// started on the state machine thread, then driven from the GUI thread only; not
// thread-safe, so every event must come from that one thread.
#pragma once

#include "sm/msmConfig.h"

#include <boost/msm/active_state_switching_policies.hpp>
#include <boost/msm/back/state_machine.hpp>
#include <boost/msm/front/euml/operator.hpp>
#include <boost/msm/front/functor_row.hpp>
#include <boost/msm/front/state_machine_def.hpp>

#include <qvtbusgate/abstractDevice.h>
#include <qvtpb/configurationFile.h>

#include <QByteArray>
#include <QObject>
#include <QSharedPointer>
#include <QString>

#include <exception>
#include <type_traits>

namespace QVt {
namespace Sm {

struct EventConnect {};
struct EventDisconnect {};
struct EventEnterNormalOperation {};
struct EventEnterPairingMode {};
struct EventFactoryReset {};
struct EventReadDeviceConfiguration {};
struct EventWriteDeviceConfiguration {};
struct EventNewData { QByteArray data; };
struct EventCommsError { quint16 errorCode; };
struct EventTimeout {};
struct EventLoadError { QVt::Pb::Configuration::File::LOAD_ERROR loadError; };
struct EventSetDevice { QSharedPointer<QVt::Device::AbstractDevice> device; };
struct EventAutoflash {};

class StateMachineDefinition : public QObject,
                               public boost::msm::front::state_machine_def<StateMachineDefinition>
{
    Q_OBJECT
    Q_PROPERTY(bool connected READ isConnected NOTIFY connectedChanged)
    Q_PROPERTY(bool busy READ isBusy NOTIFY busyChanged)
    Q_PROPERTY(QObject *currentDevice READ currentDeviceObject NOTIFY currentDeviceChanged)
    Q_PROPERTY(QString deviceIdString READ currentDeviceIdString NOTIFY deviceIdStringChanged)

public:
    explicit StateMachineDefinition(QObject *parent = nullptr);

    // Every step of a connection waits this long for the device's reply, unless set otherwise.
    static constexpr int REPLY_TIMEOUT_MS = 10000;

    bool isConnected() const;
    bool isBusy() const;
    QObject *currentDeviceObject() const;
    QSharedPointer<QVt::Device::AbstractDevice> sharedCurrentDevice() const;
    QString currentDeviceIdString() const;
    QString currentProductId() const;
    // Set before start().
    void setReplyTimeout(int ms);

    using none = boost::msm::front::none;

    // States. Entry actions take the machine as their front-end; none has an exit action.
    struct StateInitialization : boost::msm::front::state<>
    {
        template <class Event, class Fsm> void on_entry(const Event &, Fsm &fsm) { enter(fsm); }
        static void enter(StateMachineDefinition &machine);
    };
    struct StateDisconnected : boost::msm::front::state<>
    {
        template <class Event, class Fsm> void on_entry(const Event &, Fsm &fsm) { enter(fsm); }
        static void enter(StateMachineDefinition &machine);
    };
    struct StateAttemptingConnection : boost::msm::front::state<>
    {
        template <class Event, class Fsm> void on_entry(const Event &, Fsm &fsm) { enter(fsm); }
        static void enter(StateMachineDefinition &machine);
    };
    struct StateReadProductId : boost::msm::front::state<>
    {
        template <class Event, class Fsm> void on_entry(const Event &, Fsm &fsm) { enter(fsm); }
        static void enter(StateMachineDefinition &machine);
    };
    struct StateIdentifyDevice : boost::msm::front::state<>
    {
        template <class Event, class Fsm> void on_entry(const Event &, Fsm &fsm) { enter(fsm); }
        static void enter(StateMachineDefinition &machine);
    };
    struct StateConnected : boost::msm::front::state<>
    {
        template <class Event, class Fsm> void on_entry(const Event &, Fsm &fsm) { enter(fsm); }
        static void enter(StateMachineDefinition &machine);
    };
    struct StateReadDeviceConfiguration : boost::msm::front::state<>
    {
        // Only a read the user asked for replaces the configuration being edited.
        template <class Event, class Fsm> void on_entry(const Event &, Fsm &fsm)
        {
            enter(fsm, std::is_same<Event, EventReadDeviceConfiguration>::value);
        }
        static void enter(StateMachineDefinition &machine, bool readRequested);
    };
    struct StateWriteDeviceConfiguration : boost::msm::front::state<>
    {
        template <class Event, class Fsm> void on_entry(const Event &, Fsm &fsm) { enter(fsm); }
        static void enter(StateMachineDefinition &machine);
    };
    struct StateError : boost::msm::front::state<>
    {
    };

    using initial_state = StateInitialization;
    // The target is current as soon as the source is left. Nothing can tell the
    // difference while a row runs (events given meanwhile wait in the queue), but an
    // action or entry action that throws leaves the machine in the row's target
    // rather than back in its source, where an anonymous row would fire, and throw,
    // again and again.
    using active_state_switch_policy = boost::msm::active_state_switch_after_exit;

    // Guards: predicates on the event and the machine's data, no side effects.
    // An identification text or a product ID reply must hold something.
    struct GuardDataNotEmpty
    {
        template <class Fsm, class Source, class Target>
        bool operator()(const EventNewData &event, Fsm &, Source &, Target &) const
        {
            return !event.data.isEmpty();
        }
    };
    struct GuardDataNotDeviceIdString
    {
        template <class Fsm, class Source, class Target>
        bool operator()(const EventNewData &event, Fsm &fsm, Source &, Target &) const
        {
            return textUpToZero(event.data) != fsm.mDeviceIdString;
        }
    };
    struct GuardDeviceValid
    {
        template <class Event, class Fsm, class Source, class Target>
        bool operator()(const Event &, Fsm &fsm, Source &, Target &) const
        {
            return !fsm.mCurrentDevice.isNull();
        }
    };
    struct GuardAutoflashActive
    {
        template <class Event, class Fsm, class Source, class Target>
        bool operator()(const Event &, Fsm &fsm, Source &, Target &) const
        {
            return fsm.mAutoflash;
        }
    };
    struct GuardNewDeviceProductIdMatch
    {
        template <class Fsm, class Source, class Target>
        bool operator()(const EventSetDevice &event, Fsm &fsm, Source &, Target &) const
        {
            return !event.device.isNull()
                && (event.device->productIds().contains(fsm.mProductId) || fsm.mProductId.isEmpty());
        }
    };
    struct GuardReadConfigurationCommandSuccessful
    {
        template <class Fsm, class Source, class Target>
        bool operator()(const EventNewData &event, Fsm &, Source &, Target &) const
        {
            return event.data.startsWith(REPLY_CONFIGURATION_READ);
        }
    };
    struct GuardWriteConfigurationCommandSuccessful
    {
        template <class Fsm, class Source, class Target>
        bool operator()(const EventNewData &event, Fsm &, Source &, Target &) const
        {
            return event.data.startsWith(REPLY_CONFIGURATION_WRITTEN);
        }
    };
    // The configuration did not fit into a frame, so nothing was sent.
    struct GuardWriteRefused
    {
        template <class Event, class Fsm, class Source, class Target>
        bool operator()(const Event &, Fsm &fsm, Source &, Target &) const
        {
            return fsm.mWriteRefused;
        }
    };
    struct GuardDeviceError
    {
        template <class Fsm, class Source, class Target>
        bool operator()(const EventNewData &event, Fsm &, Source &, Target &) const
        {
            return event.data.startsWith(REPLY_DEVICE_ERROR);
        }
    };

    // Actions: run after the source is left and before the target is entered.
    struct ActionSetDevice
    {
        template <class Fsm, class Source, class Target>
        void operator()(const EventSetDevice &event, Fsm &fsm, Source &, Target &) const
        {
            execute(fsm, event.device, std::is_same<Source, StateConnected>::value);
        }
        static void execute(StateMachineDefinition &machine,
                            const QSharedPointer<QVt::Device::AbstractDevice> &device,
                            bool whileConnected);
    };
    // The connection cannot serve the new device object: the unit goes back to normal
    // operation before the line is closed.
    struct ActionSetDeviceForAnotherProduct
    {
        template <class Fsm, class Source, class Target>
        void operator()(const EventSetDevice &event, Fsm &fsm, Source &, Target &) const
        {
            execute(fsm, event.device);
        }
        static void execute(StateMachineDefinition &machine,
                            const QSharedPointer<QVt::Device::AbstractDevice> &device);
    };
    struct ActionSetAutoflash
    {
        template <class Event, class Fsm, class Source, class Target>
        void operator()(const Event &, Fsm &fsm, Source &, Target &) const
        {
            fsm.mAutoflash = true;
        }
    };
    struct ActionFinalizeConnection
    {
        template <class Fsm, class Source, class Target>
        void operator()(const EventNewData &event, Fsm &fsm, Source &, Target &) const
        {
            execute(fsm, event.data);
        }
        static void execute(StateMachineDefinition &machine, const QByteArray &data);
    };
    struct ActionStoreProductId
    {
        template <class Fsm, class Source, class Target>
        void operator()(const EventNewData &event, Fsm &fsm, Source &, Target &) const
        {
            execute(fsm, event.data);
        }
        static void execute(StateMachineDefinition &machine, const QByteArray &data);
    };
    struct ActionDeviceUnsupported
    {
        template <class Event, class Fsm, class Source, class Target>
        void operator()(const Event &, Fsm &fsm, Source &, Target &) const
        {
            emit fsm.deviceUnsupported(fsm.mDeviceIdString, fsm.mProductId);
        }
    };
    struct ActionSignalConnectSuccess
    {
        template <class Event, class Fsm, class Source, class Target>
        void operator()(const Event &, Fsm &fsm, Source &, Target &) const
        {
            emit fsm.connectSuccessful();
        }
    };
    struct ActionEnterNormalOperation
    {
        template <class Event, class Fsm, class Source, class Target>
        void operator()(const Event &, Fsm &fsm, Source &, Target &) const
        {
            execute(fsm);
        }
        static void execute(StateMachineDefinition &machine);
    };
    struct ActionEnterPairingMode
    {
        template <class Event, class Fsm, class Source, class Target>
        void operator()(const Event &, Fsm &fsm, Source &, Target &) const
        {
            execute(fsm);
        }
        static void execute(StateMachineDefinition &machine);
    };
    struct ActionFactoryReset
    {
        template <class Event, class Fsm, class Source, class Target>
        void operator()(const Event &, Fsm &fsm, Source &, Target &) const
        {
            execute(fsm);
        }
        static void execute(StateMachineDefinition &machine);
    };
    struct ActionStoreDeviceConfiguration
    {
        template <class Fsm, class Source, class Target>
        void operator()(const EventNewData &event, Fsm &fsm, Source &, Target &) const
        {
            execute(fsm, event.data);
        }
        static void execute(StateMachineDefinition &machine, const QByteArray &data);
    };
    struct ActionDeviceError
    {
        template <class Event, class Fsm, class Source, class Target>
        void operator()(const Event &, Fsm &fsm, Source &, Target &) const
        {
            emit fsm.deviceError();
        }
    };
    struct ActionWriteRefused
    {
        template <class Event, class Fsm, class Source, class Target>
        void operator()(const Event &, Fsm &fsm, Source &, Target &) const
        {
            emit fsm.configurationTooLarge();
        }
    };
    struct ActionSignalWriteSuccess
    {
        template <class Event, class Fsm, class Source, class Target>
        void operator()(const Event &, Fsm &fsm, Source &, Target &) const
        {
            emit fsm.writeToDeviceSuccessful();
        }
    };
    struct ActionAbortWithSuccess
    {
        template <class Event, class Fsm, class Source, class Target>
        void operator()(const Event &, Fsm &fsm, Source &, Target &) const
        {
            execute(fsm);
        }
        static void execute(StateMachineDefinition &machine);
    };
    struct ActionAbortWithError
    {
        template <class Event, class Fsm, class Source, class Target>
        void operator()(const Event &, Fsm &, Source &, Target &) const
        {
            execute();
        }
        static void execute();
    };

    template <class Source, class Event, class Target, class Action, class Guard>
    using Row = boost::msm::front::Row<Source, Event, Target, Action, Guard>;
    template <class Left, class Right>
    using And_ = boost::msm::front::euml::And_<Left, Right>;
    template <class Operand>
    using Not_ = boost::msm::front::euml::Not_<Operand>;

    // Rows numbered for reference. Several rows for one (state, event) pair are tried
    // from the last towards the first.
    struct transition_table : boost::mpl::vector<
        //            Source                         Event                          Target                         Action                          Guard
        /*  1 */ Row< StateInitialization,           none,                          StateDisconnected,             none,                           none >,
        /*  2 */ Row< StateDisconnected,             EventConnect,                  StateAttemptingConnection,     none,                           none >,
        /*  3 */ Row< StateDisconnected,             EventSetDevice,                StateDisconnected,             ActionSetDevice,                none >,
        /*  4 */ Row< StateDisconnected,             EventAutoflash,                StateAttemptingConnection,     ActionSetAutoflash,             none >,
        /*  5 */ Row< StateAttemptingConnection,     EventNewData,                  StateReadProductId,            ActionFinalizeConnection,       GuardDataNotEmpty >,
        /*  6 */ Row< StateAttemptingConnection,     EventNewData,                  StateError,                    ActionDeviceUnsupported,        Not_< GuardDataNotEmpty > >,
        /*  7 */ Row< StateAttemptingConnection,     EventDisconnect,               StateInitialization,           none,                           none >,
        /*  8 */ Row< StateAttemptingConnection,     EventCommsError,               StateError,                    none,                           none >,
        /*  9 */ Row< StateAttemptingConnection,     EventTimeout,                  StateError,                    none,                           none >,
        /* 10 */ Row< StateReadProductId,            EventNewData,                  StateIdentifyDevice,           ActionStoreProductId,           And_< GuardDataNotDeviceIdString, GuardDataNotEmpty > >,
        /* 11 */ Row< StateReadProductId,            EventNewData,                  StateError,                    ActionDeviceUnsupported,        And_< GuardDataNotDeviceIdString, Not_< GuardDataNotEmpty > > >,
        /* 12 */ Row< StateReadProductId,            EventDisconnect,               StateInitialization,           none,                           none >,
        /* 13 */ Row< StateReadProductId,            EventCommsError,               StateError,                    none,                           none >,
        /* 14 */ Row< StateReadProductId,            EventTimeout,                  StateError,                    none,                           none >,
        /* 15 */ Row< StateIdentifyDevice,           none,                          StateReadDeviceConfiguration,  ActionSignalConnectSuccess,     GuardDeviceValid >,
        /* 16 */ Row< StateIdentifyDevice,           none,                          StateError,                    ActionDeviceUnsupported,        Not_< GuardDeviceValid > >,
        /* 17 */ Row< StateIdentifyDevice,           EventDisconnect,               StateInitialization,           none,                           none >,
        /* 18 */ Row< StateIdentifyDevice,           EventCommsError,               StateError,                    none,                           none >,
        /* 19 */ Row< StateIdentifyDevice,           EventTimeout,                  StateError,                    none,                           none >,
        /* 20 */ Row< StateConnected,                EventDisconnect,               StateInitialization,           none,                           none >,
        /* 21 */ Row< StateConnected,                EventReadDeviceConfiguration,  StateReadDeviceConfiguration,  none,                           none >,
        /* 22 */ Row< StateConnected,                EventWriteDeviceConfiguration, StateWriteDeviceConfiguration, none,                           none >,
        /* 23 */ Row< StateConnected,                EventEnterNormalOperation,     StateInitialization,           ActionEnterNormalOperation,     none >,
        /* 24 */ Row< StateConnected,                EventEnterPairingMode,         StateInitialization,           ActionEnterPairingMode,         none >,
        /* 25 */ Row< StateConnected,                EventFactoryReset,             StateInitialization,           ActionFactoryReset,             none >,
        /* 26 */ Row< StateConnected,                EventSetDevice,                StateConnected,                ActionSetDevice,                GuardNewDeviceProductIdMatch >,
        /* 27 */ Row< StateConnected,                EventSetDevice,                StateInitialization,           ActionSetDeviceForAnotherProduct, Not_< GuardNewDeviceProductIdMatch > >,
        /* 28 */ Row< StateConnected,                EventCommsError,               StateError,                    none,                           none >,
        /* 29 */ Row< StateConnected,                EventTimeout,                  StateError,                    none,                           none >,
        /* 30 */ Row< StateConnected,                EventLoadError,                StateError,                    none,                           none >,
        /* 31 */ Row< StateConnected,                none,                          StateWriteDeviceConfiguration, none,                           GuardAutoflashActive >,
        /* 32 */ Row< StateReadDeviceConfiguration,  EventNewData,                  StateConnected,                ActionStoreDeviceConfiguration, And_< GuardDataNotDeviceIdString, GuardReadConfigurationCommandSuccessful > >,
        /* 33 */ Row< StateReadDeviceConfiguration,  EventNewData,                  StateError,                    ActionDeviceError,              And_< GuardDataNotDeviceIdString, GuardDeviceError > >,
        /* 34 */ Row< StateReadDeviceConfiguration,  EventDisconnect,               StateInitialization,           none,                           none >,
        /* 35 */ Row< StateReadDeviceConfiguration,  EventCommsError,               StateError,                    none,                           none >,
        /* 36 */ Row< StateReadDeviceConfiguration,  EventTimeout,                  StateError,                    none,                           none >,
        /* 37 */ Row< StateReadDeviceConfiguration,  EventLoadError,                StateError,                    none,                           none >,
        /* 38 */ Row< StateWriteDeviceConfiguration, EventNewData,                  StateConnected,                ActionSignalWriteSuccess,       And_< GuardDataNotDeviceIdString, GuardWriteConfigurationCommandSuccessful > >,
        /* 39 */ Row< StateWriteDeviceConfiguration, EventNewData,                  StateConnected,                ActionAbortWithSuccess,         And_< GuardDataNotDeviceIdString, And_< GuardWriteConfigurationCommandSuccessful, GuardAutoflashActive > > >,
        /* 40 */ Row< StateWriteDeviceConfiguration, EventNewData,                  StateError,                    ActionDeviceError,              And_< GuardDataNotDeviceIdString, GuardDeviceError > >,
        /* 41 */ Row< StateWriteDeviceConfiguration, EventDisconnect,               StateInitialization,           none,                           none >,
        /* 42 */ Row< StateWriteDeviceConfiguration, EventCommsError,               StateError,                    none,                           none >,
        /* 43 */ Row< StateWriteDeviceConfiguration, EventTimeout,                  StateError,                    none,                           none >,
        /* 44 */ Row< StateWriteDeviceConfiguration, none,                          StateError,                    ActionWriteRefused,             GuardWriteRefused >,
        /* 45 */ Row< StateError,                    none,                          StateInitialization,           none,                           none >,
        /* 46 */ Row< StateError,                    none,                          StateInitialization,           ActionAbortWithError,           GuardAutoflashActive >
    > {};

    // An event that no row takes is dropped without a word.
    template <class Fsm, class Event>
    void no_transition(const Event &, Fsm &, int)
    {
    }

    // A failing action must not take the program down; processing goes on as if the
    // row had fired.
    template <class Fsm, class Event>
    void exception_caught(const Event &, Fsm &, std::exception &exception)
    {
        logCaughtException(exception);
    }

signals:
    void writeData(QByteArray data);
    void startCyclicWrite(QByteArray data, int intervalMs, bool stopOnData);
    void stopCyclicWrite();
    void connectedChanged(bool connected);
    void busyChanged(bool busy);
    void currentDeviceChanged(QObject *currentDevice);
    void deviceIdStringChanged(QString deviceIdString);
    void deviceUnsupported(QString deviceIdString, QString productId);
    void deviceError();
    void startTimeoutWatch(int ms);
    void stopTimeoutWatch();
    void connectSuccessful();
    void disconnectSuccessful();
    void readFromDeviceSuccessful();
    void writeToDeviceSuccessful();
    void factoryResetSuccessful();
    void pairingModeSuccessful();
    // Beyond the connection's own signals: the configuration did not fit into a frame
    // (nothing was sent); the device object took what the unit reported about itself
    // (its deviceInfo() is null when the unit reported nothing usable); the connected
    // unit is another product than the configuration being edited, whose device name
    // is given, so the unit's own configuration replaced it; an autoflash run's
    // configuration is for another product than the unit's.
    void configurationTooLarge();
    void deviceInfoRead();
    void editedConfigurationReplaced(QString editedDeviceName);
    void configurationForAnotherProduct(QString deviceName, QString productId);

private:
    // First payload bytes of the device's replies to the configuration commands.
    static constexpr char REPLY_DEVICE_ERROR = 0x45;
    static constexpr char REPLY_CONFIGURATION_READ = 0x4C;
    static constexpr char REPLY_CONFIGURATION_WRITTEN = 0x53;

    // Identification texts end at their first zero byte, if any.
    static QString textUpToZero(const QByteArray &data);
    static void logCaughtException(const std::exception &exception);

    bool mConnected = false;
    bool mBusy = false;
    QString mDeviceIdString;
    QString mProductId;
    QSharedPointer<QVt::Device::AbstractDevice> mCurrentDevice;
    bool mAutoflash = false;
    bool mReadRequested = false;
    bool mWriteRefused = false;
    // The name of the device object that StateIdentifyDevice replaced while its
    // configuration was being edited; empty otherwise.
    QString mReplacedDeviceName;
    int mReplyTimeoutMs = REPLY_TIMEOUT_MS;
};

// The machine itself: the Boost.Msm back-end with its default policies (one region,
// event queue, no deferred events).
using Machine = boost::msm::back::state_machine<StateMachineDefinition>;

} // namespace Sm
} // namespace QVt
