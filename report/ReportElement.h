#pragma once

#include <QFont>
#include <QLineF>
#include <QRectF>
#include <QString>

#include <optional>

// One thing printed in a band. Geometry is in millimetres from the band's
// top-left corner, which lies on the left margin.
//
// When a band grows because a wrapped text needs more room, the boxes and
// rules that reach the band's bottom edge follow it down (the box around the
// band, the column rules) and the wrapped text's own box grows to the height
// its lines need; every other element keeps its place.
struct ReportElement
{
    enum class Kind {
        Text, // fixed text
        Field, // a column of the current row
        Sum, // the running sum of a column over the detail rows printed so far
        PageNumber, // a caption followed by the page number
        Box, // a rectangle's outline
        Rule // a straight line
    };

    Kind kind = Kind::Text;
    QRectF rect; // for a rule, from its top-left to its bottom-right point
    QString text; // the fixed text, or the page number's caption
    QString column; // the field or summed column
    // Numbers: a mask of formatFloat ("### ##0.000"); empty prints the plain
    // number. Dates: a mask of formatDateTime; empty prints the short date.
    QString mask;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool wrap = false; // wraps within its width; the band grows to fit
    std::optional<QFont> font; // the report's font when absent
    double penWidth = 0.25; // boxes and rules, millimetres

    // Texts default to vertical centring when the alignment names no vertical flag.
    static ReportElement fixedText(const QRectF &rect, const QString &text, Qt::Alignment alignment = Qt::AlignLeft);
    static ReportElement field(
        const QRectF &rect, const QString &column, Qt::Alignment alignment = Qt::AlignLeft, const QString &mask = {});
    static ReportElement sum(const QRectF &rect, const QString &column, Qt::Alignment alignment = Qt::AlignRight, const QString &mask = {});
    static ReportElement pageNumber(const QRectF &rect, const QString &caption, Qt::Alignment alignment = Qt::AlignLeft);
    static ReportElement box(const QRectF &rect);
    static ReportElement rule(const QPointF &from, const QPointF &to);

    ReportElement wrapped() const;
    ReportElement withFont(const QFont &font) const;
    ReportElement withPenWidth(double millimetres) const;

    bool isText() const { return kind != Kind::Box && kind != Kind::Rule; }
    QLineF line() const { return QLineF(rect.topLeft(), rect.bottomRight()); }
};
