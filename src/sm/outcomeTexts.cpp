#include "sm/outcomeTexts.h"

#include <QCoreApplication>

namespace QVt {
namespace Sm {

namespace {

// Each text in the context of tr() in OutcomeTexts, where the translation looks it up.
struct Outcome
{
    const char *name;
    const char *title;
    const char *message;
};

const Outcome OUTCOMES[] = {
    {"timeout", QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "Communication Timeout"), QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "A communication timeout has occurred.")},
    {"deviceUnsupported", QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "Device Unsupported"),
     QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "The connected device is not supported by this application:")},
    {"configurationUnsupported", QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "Configuration Unsupported"),
     QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "The configuration data cannot be loaded, as its product ID is unsupported.")},
    {"configurationVersionMismatch", QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "Configuration Data Version Mismatch"),
     QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "The configuration data was created with another version of this software and could not be loaded.")},
    {"configurationUnreadable", QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "Configuration File Unreadable"),
     QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "The configuration file could not be read.")},
    {"configurationTooLarge", QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "Configuration Too Large"),
     QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "The configuration is too large to be written to the device; nothing was sent.")},
    {"editedConfigurationReplaced", QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "Configuration of Another Product"),
     QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "The configuration being edited was for a %1, not for the connected device. The connected device's own configuration has been read and is shown instead.")},
    {"configurationForAnotherProduct", "",
     QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "The configuration file is for a %1, not for the connected device (product ID %2).")},
    {"configurationVersionObsolete", QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "Configuration Data Obsolete"),
     QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "The configuration data is obsolete and could not be loaded.")},
    {"configurationChecksumError", QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "Configuration Data Checksum Error"),
     QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "The configuration data could not be loaded due to a checksum error.")},
    {"configurationParseError", QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "Configuration Data Parse Error"),
     QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "The configuration data could not be parsed and may be corrupt.")},
    {"deviceError", QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "Device Error"), QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "The connected device has reported an error.")},
    {"commsError", QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "Communication Error"), QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "A communication error has occurred.")},
    {"saveFileFailed", QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "Save Failed"), QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "The file could not be saved.")},
    {"packSupportArchiveFailed", QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "Save Failed"), QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "The file could not be saved.")},
};

// The log and the record give only the reason of an unreadable file, whose path they
// carry elsewhere.
const char UNREADABLE_REASON[] = QT_TRANSLATE_NOOP("QVt::Sm::OutcomeTexts", "The configuration file could not be read: %1");

const Outcome *find(const QString &name)
{
    for (const Outcome &outcome : OUTCOMES) {
        if (name == QLatin1String(outcome.name))
            return &outcome;
    }
    return nullptr;
}

} // namespace

OutcomeTexts::OutcomeTexts(QObject *parent)
    : QObject(parent)
{
}

QString OutcomeTexts::title(const QString &outcome) const
{
    const Outcome *found = find(outcome);
    return found && *found->title ? tr(found->title) : QString();
}

QString OutcomeTexts::message(const QString &outcome, const QVariantList &values) const
{
    const Outcome *found = find(outcome);
    if (!found)
        return QString();
    QString text = tr(found->message);
    const auto detail = [this](const char *label, const QVariant &value) {
        return tr(label) + QStringLiteral(": ") + value.toString();
    };
    if (outcome == QLatin1String("deviceUnsupported"))
        return text + QStringLiteral("\n\n") + detail(QT_TR_NOOP("Device ID"), values.value(0)) + QLatin1Char('\n')
               + detail(QT_TR_NOOP("Product ID"), values.value(1));
    if (outcome == QLatin1String("configurationUnsupported"))
        return text + QStringLiteral("\n\n") + detail(QT_TR_NOOP("Product ID"), values.value(0));
    if (outcome == QLatin1String("configurationUnreadable") || outcome == QLatin1String("saveFileFailed")
        || outcome == QLatin1String("packSupportArchiveFailed"))
        return text + QStringLiteral("\n\n") + detail(QT_TR_NOOP("File"), values.value(0)) + QLatin1Char('\n')
               + detail(QT_TR_NOOP("Reason"), values.value(1));
    if (outcome == QLatin1String("commsError"))
        return text + QLatin1Char(' ') + values.value(1).toString() + QStringLiteral(" (")
               + detail(QT_TR_NOOP("Error code"), values.value(0)) + QLatin1Char(')');
    if (values.size() >= 2)
        return text.arg(values.at(0).toString(), values.at(1).toString());
    return values.isEmpty() ? text : text.arg(values.at(0).toString());
}

QString OutcomeTexts::oneLine(const QString &outcome, const QVariantList &values) const
{
    if (outcome == QLatin1String("configurationUnreadable"))
        return tr(UNREADABLE_REASON).arg(values.value(1).toString());
    return message(outcome, values).replace(QStringLiteral("\n\n"), QStringLiteral(" ")).replace(QLatin1Char('\n'), QStringLiteral(", "));
}

QString OutcomeTexts::loadError(QVt::Pb::Configuration::File::LOAD_ERROR error) const
{
    using QVt::Pb::Configuration::File;
    switch (error) {
    case File::LOAD_ERROR_VERSION_OBSOLETE:
        return oneLine(QStringLiteral("configurationVersionObsolete"), {});
    case File::LOAD_ERROR_VERSION_MISMATCH:
        return oneLine(QStringLiteral("configurationVersionMismatch"), {});
    case File::LOAD_ERROR_CHECKSUM:
        return oneLine(QStringLiteral("configurationChecksumError"), {});
    default:
        return oneLine(QStringLiteral("configurationParseError"), {});
    }
}

} // namespace Sm
} // namespace QVt
