// Process-wide record of the current configuration's file, origin and unsaved
// changes, read by the main window and written by the file operations, the state
// machine and the current device's saveNeeded() signal. Owns only its values.
// Lives on the thread of its first instance() call, which start-up makes on the GUI
// thread in both modes.
#pragma once

#include <qvtbusgate/types.h>

#include <QObject>
#include <QSharedPointer>
#include <QString>

namespace QVt {
namespace Config {

class SaveStatusTracker : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString currentFilePath READ currentFilePath WRITE setCurrentFilePath NOTIFY currentFilePathChanged)
    Q_PROPERTY(QString currentFileUrl READ currentFileUrl WRITE setCurrentFileUrl NOTIFY currentFileUrlChanged)
    Q_PROPERTY(bool saveNeeded READ saveNeeded WRITE setSaveNeeded NOTIFY saveNeededChanged)
    Q_PROPERTY(QVt::Global::Types::eConfigurationType configurationType READ configurationType
                   WRITE setConfigurationType NOTIFY configurationTypeChanged)

public:
    static SaveStatusTracker *instance();

    explicit SaveStatusTracker(QObject *parent);

    QString currentFilePath() const;
    QString currentFileUrl() const;
    bool saveNeeded() const;
    QVt::Global::Types::eConfigurationType configurationType() const;

    void setCurrentFilePath(const QString &currentFilePath);
    void setCurrentFileUrl(const QString &currentFileUrl);
    void setSaveNeeded(const bool &saveNeeded);
    void setConfigurationType(const QVt::Global::Types::eConfigurationType &configurationType);

signals:
    void currentFilePathChanged(QString currentFilePath);
    void currentFileUrlChanged(QString currentFileUrl);
    void saveNeededChanged(bool saveNeeded);
    void configurationTypeChanged(QVt::Global::Types::eConfigurationType configurationType);

public slots:
    // The current device was edited.
    void onForceSaveNeeded();

private:
    QString mCurrentFilePath;
    QString mCurrentFileUrl;
    bool mSaveNeeded = false;
    QVt::Global::Types::eConfigurationType mConfigurationType =
        QVt::Global::Types::CONFIGURATION_TYPE_NONE;

    static QSharedPointer<SaveStatusTracker> mInstance;
};

} // namespace Config
} // namespace QVt
