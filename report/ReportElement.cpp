#include "report/ReportElement.h"

namespace {

Qt::Alignment withVertical(Qt::Alignment alignment)
{
    if (!(alignment & Qt::AlignVertical_Mask))
        alignment |= Qt::AlignVCenter;
    return alignment;
}

ReportElement textElement(ReportElement::Kind kind, const QRectF &rect, Qt::Alignment alignment)
{
    ReportElement e;
    e.kind = kind;
    e.rect = rect;
    e.alignment = withVertical(alignment);
    return e;
}

} // namespace

ReportElement ReportElement::fixedText(const QRectF &rect, const QString &text, Qt::Alignment alignment)
{
    ReportElement e = textElement(Kind::Text, rect, alignment);
    e.text = text;
    return e;
}

ReportElement ReportElement::field(const QRectF &rect, const QString &column, Qt::Alignment alignment, const QString &mask)
{
    ReportElement e = textElement(Kind::Field, rect, alignment);
    e.column = column;
    e.mask = mask;
    return e;
}

ReportElement ReportElement::sum(const QRectF &rect, const QString &column, Qt::Alignment alignment, const QString &mask)
{
    ReportElement e = textElement(Kind::Sum, rect, alignment);
    e.column = column;
    e.mask = mask;
    return e;
}

ReportElement ReportElement::pageNumber(const QRectF &rect, const QString &caption, Qt::Alignment alignment)
{
    ReportElement e = textElement(Kind::PageNumber, rect, alignment);
    e.text = caption;
    return e;
}

ReportElement ReportElement::box(const QRectF &rect)
{
    ReportElement e;
    e.kind = Kind::Box;
    e.rect = rect;
    return e;
}

ReportElement ReportElement::rule(const QPointF &from, const QPointF &to)
{
    ReportElement e;
    e.kind = Kind::Rule;
    e.rect = QRectF(from, to);
    return e;
}

ReportElement ReportElement::wrapped() const
{
    ReportElement e = *this;
    e.wrap = true;
    return e;
}

ReportElement ReportElement::withFont(const QFont &font) const
{
    ReportElement e = *this;
    e.font = font;
    return e;
}

ReportElement ReportElement::withPenWidth(double millimetres) const
{
    ReportElement e = *this;
    e.penWidth = millimetres;
    return e;
}
