#pragma once

#include <qvtpb/configurationFile.h>

#include <QObject>
#include <QString>
#include <QVariantList>

namespace QVt {
namespace Sm {

// The words for the failures the facade reports, said once for the main window's dialogs,
// the autoflash log and record, and the shell's front end. An outcome is named after the facade's signal, and
// its values are that signal's arguments in their order. Translatable in this one context.
// Owns nothing; parented by whoever shows the texts, and used in that object's thread.
class OutcomeTexts : public QObject
{
    Q_OBJECT

public:
    explicit OutcomeTexts(QObject *parent);

    // The dialog's title; empty for an outcome that has none.
    Q_INVOKABLE QString title(const QString &outcome) const;
    // The dialog's text, details on lines of their own.
    Q_INVOKABLE QString message(const QString &outcome, const QVariantList &values) const;
    // The same text on one line, as a log line and a record carry it.
    QString oneLine(const QString &outcome, const QVariantList &values) const;
    // Why configuration bytes did not load, on one line.
    QString loadError(QVt::Pb::Configuration::File::LOAD_ERROR error) const;
};

} // namespace Sm
} // namespace QVt
