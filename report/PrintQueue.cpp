#include "report/PrintQueue.h"

#include <QCoreApplication>

#include <cstring>
#include <cups/cups.h>

namespace {

QString lastErrorText()
{
    const char *text = cupsLastErrorString();
    return text && *text ? QString::fromUtf8(text) : QString::fromUtf8(ippErrorString(cupsLastError()));
}

} // namespace

namespace PrintQueue {

QString refusal(const QString &printerName)
{
    const QByteArray queue = printerName.section(QLatin1Char('/'), 0, 0).toLocal8Bit();
    const QByteArray instance = printerName.section(QLatin1Char('/'), 1).toLocal8Bit();
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(), instance.isEmpty() ? nullptr : instance.constData());
    if (!dest)
        return QCoreApplication::translate("PrintQueue", "L'imprimante « %1 » est introuvable (%2). L'état n'a pas été imprimé.")
            .arg(printerName, lastErrorText());
    const char *accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const bool refuses = accepting && std::strcmp(accepting, "false") == 0;
    cupsFreeDests(1, dest);
    if (refuses)
        return QCoreApplication::translate(
            "PrintQueue", "L'imprimante « %1 » refuse les travaux d'impression pour le moment. L'état n'a pas été imprimé.")
            .arg(printerName);
    return QString();
}

QString submissionFailure(const QString &printerName)
{
    // The last request of this thread was the toolkit's: the job's creation.
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return QString();
    return QCoreApplication::translate("PrintQueue", "L'impression sur « %1 » a échoué : %2\nL'état n'a pas été imprimé.")
        .arg(printerName, lastErrorText());
}

} // namespace PrintQueue
