#include "config/saveStatusTracker.h"

namespace QVt {
namespace Config {

using QVt::Global::Types;

QSharedPointer<SaveStatusTracker> SaveStatusTracker::mInstance;

SaveStatusTracker *SaveStatusTracker::instance()
{
    if (!mInstance)
        mInstance.reset(new SaveStatusTracker(nullptr));
    return mInstance.data();
}

SaveStatusTracker::SaveStatusTracker(QObject *parent)
    : QObject(parent)
{
}

QString SaveStatusTracker::currentFilePath() const
{
    return mCurrentFilePath;
}

QString SaveStatusTracker::currentFileUrl() const
{
    return mCurrentFileUrl;
}

bool SaveStatusTracker::saveNeeded() const
{
    return mSaveNeeded;
}

Types::eConfigurationType SaveStatusTracker::configurationType() const
{
    return mConfigurationType;
}

void SaveStatusTracker::setCurrentFilePath(const QString &currentFilePath)
{
    if (mCurrentFilePath == currentFilePath)
        return;
    mCurrentFilePath = currentFilePath;
    emit currentFilePathChanged(mCurrentFilePath);
}

void SaveStatusTracker::setCurrentFileUrl(const QString &currentFileUrl)
{
    if (mCurrentFileUrl == currentFileUrl)
        return;
    mCurrentFileUrl = currentFileUrl;
    emit currentFileUrlChanged(mCurrentFileUrl);
}

void SaveStatusTracker::setSaveNeeded(const bool &saveNeeded)
{
    if (mSaveNeeded == saveNeeded)
        return;
    mSaveNeeded = saveNeeded;
    emit saveNeededChanged(mSaveNeeded);
}

void SaveStatusTracker::setConfigurationType(const Types::eConfigurationType &configurationType)
{
    if (mConfigurationType == configurationType)
        return;
    mConfigurationType = configurationType;
    emit configurationTypeChanged(mConfigurationType);
}

void SaveStatusTracker::onForceSaveNeeded()
{
    setSaveNeeded(true);
}

} // namespace Config
} // namespace QVt
