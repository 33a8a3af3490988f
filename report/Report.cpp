#include "report/Report.h"

#include "core/Error.h"
#include "report/PrintQueue.h"
#include "report/ReportFont.h"
#include "report/ReportRenderer.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPageRanges>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace {

QSizeF bodySize(const QPrinter &printer)
{
    const QSizeF body = printer.pageLayout().paintRect(QPageLayout::Millimeter).size();
    if (body.width() <= 0 || body.height() <= 0)
        throw Error(QStringLiteral("The page margins leave no room to print"));
    return body;
}

} // namespace

Report::Report()
    : m_pageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter)
    , m_font(reportFont(9))
{
}

void Report::setPage(const QPageSize &size, QPageLayout::Orientation orientation, const QMarginsF &margins)
{
    m_pageLayout = QPageLayout(size, orientation, margins, QPageLayout::Millimeter);
}

double Report::bodyWidth() const
{
    return m_pageLayout.paintRect(QPageLayout::Millimeter).width();
}

void Report::setUpPrinter(QPrinter &printer) const
{
    printer.setDocName(m_documentName);
    printer.setCreator(QStringLiteral("Kestra"));
    printer.setFullPage(false);
    if (!printer.setPageLayout(m_pageLayout)) {
        // A printer that cannot print so near the edge keeps its own margins.
        printer.setPageSize(m_pageLayout.pageSize());
        printer.setPageOrientation(m_pageLayout.orientation());
    }
}

int Report::print(QPrinter &printer) const
{
    // Paper narrower than the report's own (a queue whose paper is Letter for
    // a report drawn on A4, as the print dialog chooses the printer's default
    // paper): the whole report a little smaller, rather than its last
    // columns cut off.
    const QSizeF body = bodySize(printer);
    const double fit = std::min(1.0, body.width() / bodyWidth());
    ReportRenderer renderer(*this, printer, body / fit);
    // Laid out in full first: a fault then leaves no half-written output.
    const QVector<ReportPage> pages = renderer.layout();

    QPainter painter;
    if (!painter.begin(&printer)) {
        if (printer.outputFileName().isEmpty())
            throw Error(QStringLiteral("Cannot print on printer \"%1\"").arg(printer.printerName()));
        throw Error(QStringLiteral("Cannot create file \"%1\"").arg(printer.outputFileName()));
    }
    // The pages the operator asked for in the print dialog.
    const QPageRanges ranges = printer.pageRanges();
    int printed = 0;
    for (int i = 0; i < pages.size(); ++i) {
        if (!ranges.isEmpty() && !ranges.contains(i + 1))
            continue;
        if (printed > 0 && !printer.newPage())
            throw Error(QStringLiteral("Cannot start page %1").arg(i + 1));
        painter.save();
        painter.scale(fit, fit);
        renderer.paint(painter, pages[i]);
        painter.restore();
        ++printed;
    }
    if (!painter.end())
        throw Error(QStringLiteral("Cannot write file \"%1\"").arg(printer.outputFileName()));
    return printed;
}

PrintOutcome Report::send(QPrinter &printer) const
{
    const QString file = printer.outputFileName();
    const bool toQueue = file.isEmpty() && printer.outputFormat() == QPrinter::NativeFormat;
    if (!toQueue && file.isEmpty())
        return { PrintOutcome::Failed, QCoreApplication::translate("Report", "Aucune imprimante ni aucun fichier n'a été choisi.") };
    if (toQueue) {
        const QString refusal = PrintQueue::refusal(printer.printerName());
        if (!refusal.isEmpty())
            return { PrintOutcome::Failed, refusal };
    }
    try {
        print(printer);
    } catch (const Error &e) {
        return { PrintOutcome::Failed, e.text() };
    }
    if (toQueue) {
        const QString failure = PrintQueue::submissionFailure(printer.printerName());
        if (!failure.isEmpty())
            return { PrintOutcome::Failed, failure };
        return { PrintOutcome::Printed, QString() };
    }
    return { PrintOutcome::SavedToFile,
        QCoreApplication::translate("Report", "L'état a été enregistré dans le fichier %1.")
            .arg(QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath())) };
}

int Report::exportPdf(const QString &path) const
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    setUpPrinter(printer);
    return print(printer);
}

void Report::preview(QWidget *parent, const PrintNotice &notice) const
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer);
    // Laid out once before anything is shown, so that a fault reaches the
    // caller rather than an empty preview.
    const int pageCount = static_cast<int>(ReportRenderer(*this, printer, bodySize(printer)).layout().size());

    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(m_documentName);
    // A landscape page needs room; without a window manager to maximise
    // the window, its size is set as well.
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        dialog.resize(screen->availableGeometry().size() * 0.9);
    dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    std::optional<Error> failure;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter *target) {
        if (failure)
            return;
        try {
            print(*target);
        } catch (const Error &e) {
            // Exceptions must not cross the toolkit's signal: the preview
            // closes and the caller receives the fault.
            failure = e;
            QMetaObject::invokeMethod(&dialog, &QDialog::reject, Qt::QueuedConnection);
        }
    });
    takeOverPrintCommand(dialog, printer, pageCount, notice);
    dialog.exec();
    if (failure)
        throw *failure;
}

void Report::takeOverPrintCommand(QPrintPreviewDialog &dialog, QPrinter &printer, int pageCount, const PrintNotice &notice) const
{
    // The preview's own command closes the preview whatever became of the
    // job; this one tells the operator and keeps the preview open when
    // nothing was printed.
    QAction *command = nullptr;
    const QString caption = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    for (QAction *action : dialog.findChildren<QAction *>())
        if (action->text() == caption)
            command = action;
    if (!command)
        return;
    command->setObjectName(QStringLiteral("printAction"));
    QObject::disconnect(command, nullptr, &dialog, nullptr);
    QObject::connect(command, &QAction::triggered, &dialog, [this, &dialog, &printer, pageCount, notice] {
        QPrintDialog printDialog(&printer, &dialog);
        printDialog.setObjectName(QStringLiteral("printDialog"));
        printDialog.setMinMax(1, pageCount);
        if (printDialog.exec() != QDialog::Accepted)
            return;
        const PrintOutcome outcome = send(printer);
        if (notice)
            notice(&dialog, outcome);
        else if (outcome.kind == PrintOutcome::Failed)
            QMessageBox::warning(&dialog, dialog.windowTitle(), outcome.text);
        else if (outcome.kind == PrintOutcome::SavedToFile)
            QMessageBox::information(&dialog, dialog.windowTitle(), outcome.text);
        if (outcome.kind != PrintOutcome::Failed)
            dialog.accept();
    });
}
