#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QQmlListProperty>

namespace QVt {
namespace Global {
class Setting;
} // namespace Global
} // namespace QVt

namespace QVt {
namespace Comms {

// The abstract byte link to the device: open, close, write, and signals for what was
// received and what went wrong. Owns the Setting objects it has handed out through
// `settings` and releases them when destroyed. Lives in the communication
// worker thread; its settings stay in the thread that created them.
class DataProvider : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QQmlListProperty<QObject> settings READ settings CONSTANT)

public:
    explicit DataProvider(QObject *parent);
    ~DataProvider() override;

    virtual void close() = 0;
    virtual void open() = 0;
    // The provider's settings in display order.
    virtual QList<QVt::Global::Setting *> settingsList() const = 0;

    // The same objects on every read once settingsList() has returned any.
    QQmlListProperty<QObject> settings();

signals:
    void newData(QByteArray data);
    void errorOccurred(quint16 errorCode, QString errorText);

protected slots:
    virtual void onWriteData(QByteArray data) = 0;

private:
    QList<QObject *> mSettings;
};

} // namespace Comms
} // namespace QVt
