#include "report/ReportRenderer.h"

#include "core/DateTime.h"
#include "core/Error.h"
#include "core/FormatSettings.h"
#include "core/Formatting.h"
#include "report/ReportDataSource.h"

#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <cmath>
#include <limits>
#include <memory>

namespace {

constexpr double MillimetresPerInch = 25.4;
// Texts keep off the rules of the box they sit in.
constexpr double TextInsetX = 0.8;
constexpr double TextInsetY = 0.3;
// Geometry read from a layout is compared with this slack.
constexpr double Slack = 1e-6;

bool isNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool isInteger(const QVariant &v)
{
    return isNumber(v) && v.typeId() != QMetaType::Double && v.typeId() != QMetaType::Float;
}

QString formatValue(const QVariant &value, const QString &mask)
{
    if (!value.isValid() || value.isNull())
        return {};
    const FormatSettings &fs = FormatSettings::current();
    if (isTimeStamp(value))
        return formatDateTime(mask.isEmpty() ? fs.shortDateFormat : mask, value.value<TimeStamp>().value, fs);
    if (value.typeId() == QMetaType::QDate)
        return formatDateTime(mask.isEmpty() ? fs.shortDateFormat : mask, DateTime::fromQDate(value.toDate()), fs);
    if (value.typeId() == QMetaType::QDateTime)
        return formatDateTime(mask.isEmpty() ? fs.shortDateFormat : mask, DateTime::fromQDateTime(value.toDateTime()), fs);
    if (isNumber(value)) {
        if (!mask.isEmpty())
            return formatFloat(mask, value.toDouble(), fs);
        // Whole numbers keep all their digits; a double keeps fifteen.
        return isInteger(value) ? value.toString() : floatToStr(value.toDouble(), fs);
    }
    return value.toString();
}

QString sumText(double sum, const QString &mask)
{
    return mask.isEmpty() ? floatToStr(sum) : formatFloat(mask, sum);
}

bool touchesBottom(double y, double bandHeight)
{
    return std::abs(y - bandHeight) < 1e-3;
}

// Converts between the report's millimetres and the device's pixels.
struct Scale
{
    double x;
    double y;
    QRectF toDevice(const QRectF &mm) const { return QRectF(mm.x() * x, mm.y() * y, mm.width() * x, mm.height() * y); }
    QPointF toDevice(const QPointF &mm) const { return QPointF(mm.x() * x, mm.y() * y); }
};

Scale scaleOf(const QPaintDevice &device)
{
    return Scale { device.logicalDpiX() / MillimetresPerInch, device.logicalDpiY() / MillimetresPerInch };
}

// A text broken into lines for a width in device pixels.
struct TextLines
{
    std::unique_ptr<QTextLayout> layout;
    double height = 0;
    double naturalWidth = 0;
};

TextLines breakLines(QString text, const QFont &font, Qt::Alignment alignment, bool wrap, double width, const QPaintDevice &device)
{
    text.remove(QLatin1Char('\r'));
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    TextLines lines;
    lines.layout = std::make_unique<QTextLayout>(text, font, &device);
    QTextOption option(alignment & Qt::AlignHorizontal_Mask);
    // A word longer than the box is broken rather than let out of it.
    option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    lines.layout->setTextOption(option);
    lines.layout->beginLayout();
    for (;;) {
        QTextLine line = lines.layout->createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        line.setPosition(QPointF(0, lines.height));
        lines.height += line.height();
        lines.naturalWidth = std::max(lines.naturalWidth, line.naturalTextWidth());
    }
    lines.layout->endLayout();
    return lines;
}

QRectF textArea(const QRectF &rect)
{
    QRectF inner = rect.adjusted(TextInsetX, TextInsetY, -TextInsetX, -TextInsetY);
    if (inner.width() < 0)
        inner.setWidth(0);
    if (inner.height() < 0)
        inner.setHeight(0);
    return inner;
}

QFont scaledFont(const QFont &font, double factor)
{
    QFont scaled = font;
    if (font.pointSizeF() > 0)
        scaled.setPointSizeF(font.pointSizeF() * factor);
    else
        scaled.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * factor)));
    return scaled;
}

} // namespace

ReportRenderer::ReportRenderer(const Report &report, const QPaintDevice &device, const QSizeF &body)
    : m_report(report)
    , m_device(device)
    , m_body(body)
    , m_bodyBottom(body.height() - report.pageFooter().height())
{
}

std::array<const ReportBand *, 5> ReportRenderer::bands() const
{
    return { &m_report.pageHeader(), &m_report.title(), &m_report.detail(), &m_report.summary(), &m_report.pageFooter() };
}

QFont ReportRenderer::fontOf(const ReportElement &element) const
{
    return element.font.value_or(m_report.font());
}

void ReportRenderer::checkColumns() const
{
    ReportDataSource *source = m_report.dataSource();
    if (!source)
        return;
    for (const ReportBand *band : bands()) {
        for (const ReportElement &e : band->elements()) {
            if ((e.kind == ReportElement::Kind::Field || e.kind == ReportElement::Kind::Sum) && !source->hasColumn(e.column))
                throw Error(QStringLiteral("Field '%1' not found").arg(e.column));
        }
    }
}

void ReportRenderer::readRow()
{
    const ReportDataSource *source = m_report.dataSource();
    for (const ReportBand *band : bands()) {
        for (const ReportElement &e : band->elements()) {
            if (e.kind == ReportElement::Kind::Field)
                m_row.insert(e.column.toUpper(), source->value(e.column));
        }
    }
}

void ReportRenderer::addToSums(QHash<QString, double> &sums) const
{
    const ReportDataSource *source = m_report.dataSource();
    QStringList added;
    for (const ReportBand *band : bands()) {
        for (const ReportElement &e : band->elements()) {
            const QString key = e.column.toUpper();
            if (e.kind != ReportElement::Kind::Sum || added.contains(key))
                continue;
            added << key;
            const QVariant v = source->value(e.column);
            if (!v.isValid() || v.isNull())
                continue; // null adds nothing
            if (!isNumber(v))
                throw Error(QStringLiteral("'%1' is not a valid floating point value for field '%2'").arg(v.toString(), e.column));
            sums[key] += v.toDouble();
        }
    }
}

QStringList ReportRenderer::resolve(const ReportBand &band, const QHash<QString, double> &sums) const
{
    QStringList texts;
    for (const ReportElement &e : band.elements()) {
        switch (e.kind) {
        case ReportElement::Kind::Text:
            texts << e.text;
            break;
        case ReportElement::Kind::Field:
            texts << formatValue(m_row.value(e.column.toUpper()), e.mask);
            break;
        case ReportElement::Kind::Sum:
            texts << sumText(sums.value(e.column.toUpper()), e.mask);
            break;
        case ReportElement::Kind::PageNumber:
            texts << e.text + QString::number(m_pages.size());
            break;
        case ReportElement::Kind::Box:
        case ReportElement::Kind::Rule:
            texts << QString();
            break;
        }
    }
    return texts;
}

PlacedBand ReportRenderer::measure(const ReportBand &band, const QStringList &texts) const
{
    const Scale scale = scaleOf(m_device);
    const QVector<ReportElement> &elements = band.elements();

    // A wrapped text's box grows to the height of its lines.
    QVector<double> excess(elements.size(), 0.0);
    double growth = 0;
    for (int i = 0; i < elements.size(); ++i) {
        const ReportElement &e = elements[i];
        if (!e.isText() || !e.wrap || texts[i].isEmpty())
            continue;
        const QRectF area = textArea(e.rect);
        const TextLines lines = breakLines(texts[i], fontOf(e), e.alignment, true, area.width() * scale.x, m_device);
        const double needed = lines.height / scale.y + 2 * TextInsetY;
        excess[i] = std::max(0.0, needed - e.rect.height());
        growth = std::max(growth, e.rect.bottom() + excess[i] - band.height());
    }

    PlacedBand placed;
    placed.band = &band;
    placed.height = band.height() + growth;
    placed.texts = texts;
    for (int i = 0; i < elements.size(); ++i) {
        const ReportElement &e = elements[i];
        QRectF r = e.rect;
        if (e.kind == ReportElement::Kind::Rule) {
            // A rule's points are kept as given: its direction matters.
            QPointF from = r.topLeft(), to = r.bottomRight();
            if (touchesBottom(from.y(), band.height()))
                from.ry() += growth;
            if (touchesBottom(to.y(), band.height()))
                to.ry() += growth;
            r = QRectF(from, to);
        } else if (e.kind == ReportElement::Kind::Box && touchesBottom(r.bottom(), band.height())) {
            r.setBottom(r.bottom() + growth);
        } else {
            // Texts keep their place, so that a tall neighbour never pushes
            // them apart from their row; a wrapped one gets the room it needs.
            r.setBottom(r.bottom() + excess[i]);
        }
        placed.rects << r;
    }
    return placed;
}

void ReportRenderer::startPage()
{
    m_pages.append(ReportPage());
    m_y = 0;
    m_pageHasBody = false;
    const ReportBand &header = m_report.pageHeader();
    if (header.isAbsent())
        return;
    PlacedBand placed = measure(header, resolve(header, m_sums));
    placed.top = 0;
    if (placed.height > m_bodyBottom + Slack)
        placed.clipBottom = m_bodyBottom;
    m_pages.last().bands.append(placed);
    m_y = placed.height;
}

void ReportRenderer::finishPage()
{
    const ReportBand &footer = m_report.pageFooter();
    if (footer.isAbsent())
        return;
    // The footer keeps its height: the room for it is kept free on every page.
    PlacedBand placed = measure(footer, resolve(footer, m_sums));
    placed.top = m_bodyBottom;
    placed.height = footer.height();
    m_pages.last().bands.append(placed);
}

void ReportRenderer::place(const ReportBand &band, const QHash<QString, double> &sums)
{
    if (band.isAbsent())
        return;
    PlacedBand placed = measure(band, resolve(band, sums));
    if (m_y + placed.height > m_bodyBottom + Slack && m_pageHasBody) {
        finishPage();
        startPage();
        // Resolved again: a page number in the band has changed with the page.
        placed = measure(band, resolve(band, sums));
    }
    placed.top = m_y;
    // Even an empty page cannot hold it: it is printed cut rather than pushed
    // from page to page for ever.
    if (m_y + placed.height > m_bodyBottom + Slack)
        placed.clipBottom = m_bodyBottom;
    m_pages.last().bands.append(placed);
    m_y += placed.height;
    m_pageHasBody = true;
}

QVector<ReportPage> ReportRenderer::layout()
{
    checkColumns();
    m_pages.clear();
    m_row.clear();
    m_sums.clear();

    ReportDataSource *source = m_report.dataSource();
    bool more = false;
    if (source) {
        source->rewind();
        more = source->next();
        if (more)
            readRow();
    }

    startPage();
    place(m_report.title(), m_sums);
    while (more) {
        // A sum in the detail band includes its own row; the footer of a
        // page left because of this row does not.
        QHash<QString, double> sums = m_sums;
        addToSums(sums);
        place(m_report.detail(), sums);
        m_sums = sums;
        more = source->next();
        if (more)
            readRow();
    }
    place(m_report.summary(), m_sums);
    finishPage();
    return m_pages;
}

void ReportRenderer::paint(QPainter &painter, const ReportPage &page) const
{
    const Scale scale = scaleOf(m_device);
    for (const PlacedBand &placed : page.bands) {
        painter.save();
        double limit = std::numeric_limits<double>::max();
        if (placed.clipBottom >= 0) {
            painter.setClipRect(scale.toDevice(QRectF(0, placed.top, m_body.width(), placed.clipBottom - placed.top)));
            limit = placed.clipBottom * scale.y;
        }
        const QVector<ReportElement> &elements = placed.band->elements();
        for (int i = 0; i < elements.size(); ++i) {
            const ReportElement &e = elements[i];
            const QRectF rect = placed.rects[i].translated(0, placed.top);
            if (!e.isText()) {
                QPen pen(Qt::black, e.penWidth * scale.x, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
                painter.setPen(pen);
                painter.setBrush(Qt::NoBrush);
                if (e.kind == ReportElement::Kind::Box)
                    painter.drawRect(scale.toDevice(rect));
                else
                    painter.drawLine(scale.toDevice(rect.topLeft()), scale.toDevice(rect.bottomRight()));
                continue;
            }
            const QString &text = placed.texts[i];
            if (text.isEmpty())
                continue;
            const QRectF area = scale.toDevice(textArea(rect));
            QFont font = fontOf(e);
            TextLines lines = breakLines(text, font, e.alignment, e.wrap, area.width(), m_device);
            if (!e.wrap && lines.naturalWidth > area.width() && lines.naturalWidth > 0) {
                // A text wider than its box is printed smaller, never cut: a
                // clipped amount would read as another amount.
                font = scaledFont(font, area.width() / lines.naturalWidth * 0.98);
                lines = breakLines(text, font, e.alignment, false, area.width(), m_device);
            }
            double y = area.top();
            if (e.alignment & Qt::AlignBottom)
                y = area.bottom() - lines.height;
            else if (!(e.alignment & Qt::AlignTop))
                y = area.top() + (area.height() - lines.height) / 2;
            painter.setPen(Qt::black);
            // Lines are drawn one by one so that those of a cut band below
            // the cut are left out of the page, not merely hidden.
            const QPointF origin(area.left(), y);
            for (int k = 0; k < lines.layout->lineCount(); ++k) {
                const QTextLine line = lines.layout->lineAt(k);
                if (origin.y() + line.y() + line.height() > limit + Slack)
                    break;
                line.draw(&painter, origin);
            }
        }
        painter.restore();
    }
}
