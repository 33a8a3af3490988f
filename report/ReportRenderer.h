#pragma once

#include "report/Report.h"

#include <QHash>
#include <QRectF>
#include <QSizeF>
#include <QStringList>
#include <QVector>

#include <array>

class QPaintDevice;
class QPainter;

// A band as it lands on a page: where, how tall, and what its elements print.
struct PlacedBand
{
    const ReportBand *band = nullptr;
    double top = 0; // millimetres below the top margin
    double height = 0; // after growth
    QVector<QRectF> rects; // each element's, in page millimetres
    QStringList texts; // each element's text; empty for shapes
    double clipBottom = -1; // where a band taller than the room left is cut; -1 when whole
};

struct ReportPage
{
    QVector<PlacedBand> bands;
};

// Reads the report's rows and places its bands on pages, measuring texts on
// the device the pages will be painted on; then paints them page by page.
class ReportRenderer
{
public:
    // body: the size of the page between its margins, in millimetres.
    ReportRenderer(const Report &report, const QPaintDevice &device, const QSizeF &body);

    // Throws Error for an unknown column, a summed value that is not a number
    // or a failing source.
    QVector<ReportPage> layout();
    // The painter's origin is the top-left corner of the page's body.
    void paint(QPainter &painter, const ReportPage &page) const;

private:
    std::array<const ReportBand *, 5> bands() const;
    void checkColumns() const;
    void readRow();
    void addToSums(QHash<QString, double> &sums) const;
    QStringList resolve(const ReportBand &band, const QHash<QString, double> &sums) const;
    PlacedBand measure(const ReportBand &band, const QStringList &texts) const;
    void startPage();
    void finishPage();
    void place(const ReportBand &band, const QHash<QString, double> &sums);
    QFont fontOf(const ReportElement &element) const;

    const Report &m_report;
    const QPaintDevice &m_device;
    QSizeF m_body;
    double m_bodyBottom = 0; // top of the page footer

    QVector<ReportPage> m_pages;
    double m_y = 0;
    bool m_pageHasBody = false;
    QHash<QString, QVariant> m_row; // upper-case column -> value of the row in hand
    QHash<QString, double> m_sums; // upper-case column -> sum so far
};
