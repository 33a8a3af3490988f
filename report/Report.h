#pragma once

#include "report/ReportBand.h"

#include <QFont>
#include <QMarginsF>
#include <QPageLayout>
#include <QString>

#include <functional>

class QPrintPreviewDialog;
class QPrinter;
class QWidget;
class ReportDataSource;

// What became of a print the operator asked for.
struct PrintOutcome
{
    enum Kind { Printed, SavedToFile, Failed };
    Kind kind = Printed;
    // In the program's words: where the file went, or why nothing was
    // printed; empty for a job the printing service took.
    QString text;
};

// How the preview tells the operator of a print's outcome, over the preview.
using PrintNotice = std::function<void(QWidget *over, const PrintOutcome &outcome)>;

// A banded report: its page, its bands and the rows it prints.
//
// Printing order: the page header at the top of every page; the title once,
// below it on the first page; one detail band per row of the source; the
// summary once after the last detail band (on a new page when it does not
// fit); the page footer at the bottom of every page. A detail band is never
// split: one that does not fit goes to the next page. The report prints even
// when the source has no row.
//
// Fields outside the detail band read the row in hand: the title the first
// row, the other bands the last row read; all are empty without a row.
class Report
{
public:
    Report();

    // Margins in millimetres.
    void setPage(const QPageSize &size, QPageLayout::Orientation orientation, const QMarginsF &margins);
    const QPageLayout &pageLayout() const { return m_pageLayout; }
    // Width between the side margins, in millimetres: the room bands have.
    double bodyWidth() const;

    // The font of the texts that name none; the report family at 9 points unless set.
    void setFont(const QFont &font) { m_font = font; }
    const QFont &font() const { return m_font; }

    // Caption of the preview and title of the PDF file.
    void setDocumentName(const QString &name) { m_documentName = name; }
    const QString &documentName() const { return m_documentName; }

    // Not owned; it must outlive the report's output. Without a source the
    // report prints as for a source without rows.
    void setDataSource(ReportDataSource *source) { m_source = source; }
    ReportDataSource *dataSource() const { return m_source; }

    ReportBand &title() { return m_title; }
    ReportBand &pageHeader() { return m_pageHeader; }
    ReportBand &detail() { return m_detail; }
    ReportBand &summary() { return m_summary; }
    ReportBand &pageFooter() { return m_pageFooter; }
    const ReportBand &title() const { return m_title; }
    const ReportBand &pageHeader() const { return m_pageHeader; }
    const ReportBand &detail() const { return m_detail; }
    const ReportBand &summary() const { return m_summary; }
    const ReportBand &pageFooter() const { return m_pageFooter; }

    // Output. Each throws Error when a column is unknown, a summed value is not
    // a number, the source fails or the output cannot be written; nothing is
    // written or shown then.

    // Writes the report to a PDF file; returns the number of pages.
    int exportPdf(const QString &path) const;
    // Shows the pages in a modal print preview, from which the operator
    // prints; returns when the operator closes it. A print that fails is
    // told through notice (a message box when none is given) and the
    // preview stays open; one that succeeds closes it, and one written to a
    // file is told where the file went.
    void preview(QWidget *parent = nullptr, const PrintNotice &notice = {}) const;
    // Prints on a printer already set up (its own page layout is used), the
    // pages its page ranges name (all when none); returns the number of
    // pages printed.
    int print(QPrinter &printer) const;
    // Prints as the operator set the printer up and asks the printing service
    // whether the queue took the job; never throws.
    PrintOutcome send(QPrinter &printer) const;

    // Gives the printer this report's page, document name and creator.
    void setUpPrinter(QPrinter &printer) const;

private:
    void takeOverPrintCommand(QPrintPreviewDialog &dialog, QPrinter &printer, int pageCount, const PrintNotice &notice) const;

    QPageLayout m_pageLayout;
    QFont m_font;
    QString m_documentName;
    ReportDataSource *m_source = nullptr;
    ReportBand m_title;
    ReportBand m_pageHeader;
    ReportBand m_detail;
    ReportBand m_summary;
    ReportBand m_pageFooter;
};
