#include "report/Report.h"

#include "core/Error.h"
#include "report/ReportFont.h"
#include "report/ReportRenderer.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QWidget>

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
    ReportRenderer renderer(*this, printer, bodySize(printer));
    // Laid out in full first: a fault then leaves no half-written output.
    const QVector<ReportPage> pages = renderer.layout();

    QPainter painter;
    if (!painter.begin(&printer)) {
        if (printer.outputFileName().isEmpty())
            throw Error(QStringLiteral("Cannot print on printer \"%1\"").arg(printer.printerName()));
        throw Error(QStringLiteral("Cannot create file \"%1\"").arg(printer.outputFileName()));
    }
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0 && !printer.newPage())
            throw Error(QStringLiteral("Cannot start page %1").arg(i + 1));
        renderer.paint(painter, pages[i]);
    }
    if (!painter.end())
        throw Error(QStringLiteral("Cannot write file \"%1\"").arg(printer.outputFileName()));
    return static_cast<int>(pages.size());
}

int Report::exportPdf(const QString &path) const
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    setUpPrinter(printer);
    return print(printer);
}

void Report::preview(QWidget *parent) const
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer);
    // Laid out once before anything is shown, so that a fault reaches the
    // caller rather than an empty preview.
    ReportRenderer(*this, printer, bodySize(printer)).layout();

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
    dialog.exec();
    if (failure)
        throw *failure;
}
