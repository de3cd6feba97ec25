// Base of the QObject wrappers over the configuration messages that QML edits.
//
// How the wrappers are used: a driver creates one KtBridge::Configuration, which
// creates and owns (as QObject children) every nested wrapper. Bytes come out of it
// with serialize() and go in with parse() (whole configuration) or parseDeviceInfo()
// (only what the device reported); Configuration::File adds and checks the file
// header around those bytes. Every property has its own change signal; in addition
// every setter that really changes a value emits edited(), and every message
// re-emits the edited() of the messages it holds, so a driver connects the single
// edited() of the top-level message to learn of any edit. Loading emits the change
// signals of the values that differ, but never edited().
//
// Lives in the thread of its owner (the GUI thread for the program's devices).
#ifndef QVTPB_ABSTRACTMESSAGE_H
#define QVTPB_ABSTRACTMESSAGE_H

#include <qvtpb/qvtpbGlobal.h>

#include <QObject>

namespace QVt {
namespace Pb {

class QVTPB_EXPORT AbstractMessage : public QObject
{
    Q_OBJECT

public:
    explicit AbstractMessage(QObject *parent = nullptr);

signals:
    // A setter changed a value of this message or of a message it holds.
    void edited();

protected:
    // Makes child a QObject child of this message and forwards its edited().
    void adopt(AbstractMessage *child);

    // Stores value in field; when it differs, emits changed and returns true.
    // Loading uses this directly, so it does not count as an edit.
    template<typename Message, typename T>
    bool assign(T &field, const T &value, void (Message::*changed)())
    {
        if (field == value)
            return false;
        field = value;
        emit(static_cast<Message *>(this)->*changed)();
        return true;
    }

    // A setter: like assign(), and a real change also emits edited().
    template<typename Message, typename T>
    void edit(T &field, const T &value, void (Message::*changed)())
    {
        if (assign(field, value, changed))
            emit edited();
    }
};

} // namespace Pb
} // namespace QVt

#endif // QVTPB_ABSTRACTMESSAGE_H
