#include "qmlApi.h"

#include "buildDate.h"
#include "comms/commsHandler.h"
#include "config/saveStatusTracker.h"
#include "device/deviceFactory.h"
#include "sm/outcomeTexts.h"
#include "sm/stateMachine.h"
#include "ui/customSpinBoxValidator.h"

#include <qvtbusgate/types.h>
#include <qvtpb/utilities.h>

#include <QCoreApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtQml>

namespace QVt {

namespace {

const QString ORGANIZATION_ABOUT_NAME = QStringLiteral("Halvard Connected Systems");

#ifdef Q_OS_WIN
const QString PLATFORM = QStringLiteral("windows");
#else
const QString PLATFORM = QStringLiteral("linux");
#endif

} // namespace

void registerQmlApi(QQmlEngine &engine)
{
    QQmlContext *context = engine.rootContext();
    context->setContextProperty(QStringLiteral("stateMachine"), Sm::StateMachine::instance());
    context->setContextProperty(QStringLiteral("commsHandler"), Comms::CommsHandler::instance());
    context->setContextProperty(QStringLiteral("deviceFactory"), Device::DeviceFactory::instance());
    context->setContextProperty(QStringLiteral("saveStatusTracker"), Config::SaveStatusTracker::instance());
    context->setContextProperty(QStringLiteral("outcomeTexts"), new Sm::OutcomeTexts(&engine));
    context->setContextProperty(QStringLiteral("organizationName"), QCoreApplication::organizationName());
    context->setContextProperty(QStringLiteral("organizationAboutName"), ORGANIZATION_ABOUT_NAME);
    context->setContextProperty(QStringLiteral("applicationName"), QCoreApplication::applicationName());
    context->setContextProperty(QStringLiteral("applicationVersion"), QCoreApplication::applicationVersion());
    context->setContextProperty(QStringLiteral("applicationBuildDate"), buildDate(QStringLiteral(__DATE__)));
    context->setContextProperty(QStringLiteral("PLATFORM"), PLATFORM);

    qmlRegisterType<Global::Types>("com.vtcan.types", 1, 0, "VtTypes");
    Pb::Utilities::registerQmlTypes();
    qmlRegisterType<CustomSpinBoxValidator>("com.vtcan.types", 1, 0, "CustomSpinBoxValidator");
}

} // namespace QVt
