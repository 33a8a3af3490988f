#include "import/wizard/TextViewer.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>

namespace {

const QColor RulerBack(236, 236, 236);
const QColor SelectionFill(178, 208, 255);
const QColor MappedFill(255, 238, 196);
const QColor SeparatorLine(0, 70, 170);
const QColor DraggedLine(200, 30, 30);

} // namespace

TextViewer::TextViewer(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("TextViewer"));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    setFont(font);
    viewport()->setMouseTracking(true);
    viewport()->setBackgroundRole(QPalette::Base);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

int TextViewer::charWidth() const
{
    return std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('X')));
}

int TextViewer::lineHeight() const
{
    return fontMetrics().height() + 1;
}

int TextViewer::rulerHeight() const
{
    return fontMetrics().height() + 10;
}

void TextViewer::setLines(const QStringList &lines)
{
    m_lines = lines;
    m_width = 0;
    for (const QString &line : lines)
        m_width = std::max(m_width, int(line.size()));
    clearSelection();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
}

void TextViewer::setSkippedLines(int count)
{
    m_skipped = count;
    viewport()->update();
}

void TextViewer::addSeparators(const QList<int> &positions)
{
    for (int p : positions)
        if (p > 0 && !m_separators.contains(p))
            m_separators.insert(std::lower_bound(m_separators.begin(), m_separators.end(), p), p);
    updateScrollBars();
    viewport()->update();
}

void TextViewer::setSelection(int left, int right)
{
    m_selLeft = left;
    m_selRight = right;
    // Brought into view when it lies outside.
    const int x = boundaryX(left);
    if (x < 0 || x > viewport()->width() - charWidth())
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + x - margin());
    viewport()->update();
}

void TextViewer::clearSelection()
{
    m_selLeft = m_selRight = -1;
    viewport()->update();
}

void TextViewer::setMappedRegions(const QList<QPair<int, int>> &regions)
{
    m_mapped = regions;
    viewport()->update();
}

int TextViewer::boundaryX(int position) const
{
    return margin() + position * charWidth() - horizontalScrollBar()->value();
}

int TextViewer::boundaryAt(int x) const
{
    const int cw = charWidth();
    const int offset = x + horizontalScrollBar()->value() - margin();
    return std::max(0, (offset + cw / 2) / cw);
}

int TextViewer::charAt(int x) const
{
    const int offset = x + horizontalScrollBar()->value() - margin();
    return offset < 0 ? -1 : offset / charWidth();
}

QPoint TextViewer::charPoint(int c, int line) const
{
    const int y = rulerHeight() + (line - verticalScrollBar()->value()) * lineHeight() + lineHeight() / 2;
    return QPoint(boundaryX(c) + charWidth() / 2, y);
}

int TextViewer::separatorNear(int x) const
{
    int best = -1;
    int bestDistance = 4;
    for (int s : m_separators) {
        const int distance = std::abs(boundaryX(s) - x);
        if (distance < bestDistance) {
            best = s;
            bestDistance = distance;
        }
    }
    return best;
}

void TextViewer::updateScrollBars()
{
    int widest = m_width;
    if (!m_separators.isEmpty())
        widest = std::max(widest, m_separators.last());
    const int contentWidth = margin() * 2 + (widest + 4) * charWidth();
    horizontalScrollBar()->setRange(0, std::max(0, contentWidth - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(charWidth());
    const int visible = std::max(1, (viewport()->height() - rulerHeight()) / lineHeight());
    verticalScrollBar()->setRange(0, std::max(0, int(m_lines.size()) - visible));
    verticalScrollBar()->setPageStep(visible);
}

void TextViewer::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void TextViewer::paintEvent(QPaintEvent *)
{
    QPainter p(viewport());
    const int cw = charWidth();
    const int lh = lineHeight();
    const int ruler = rulerHeight();
    const int w = viewport()->width();
    const int h = viewport()->height();
    const QFontMetrics fm = fontMetrics();

    p.fillRect(viewport()->rect(), palette().base());
    auto region = [&](int left, int right, const QColor &colour) {
        p.fillRect(QRect(QPoint(boundaryX(left), ruler), QPoint(boundaryX(right) - 1, h)), colour);
    };
    for (const auto &[left, right] : m_mapped)
        region(left, right, MappedFill);
    if (hasSelection())
        region(m_selLeft, m_selRight, SelectionFill);

    // The ruler: a tick per boundary, longer every 5, numbered every 10.
    p.fillRect(QRect(0, 0, w, ruler), RulerBack);
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(0, ruler - 1, w, ruler - 1);
    const int first = std::max(0, boundaryAt(0) - 1);
    const int last = boundaryAt(w) + 1;
    QFont small = font();
    small.setPointSizeF(std::max(6.0, font().pointSizeF() * 0.8));
    p.setFont(small);
    p.setPen(palette().color(QPalette::WindowText));
    for (int pos = first; pos <= last; ++pos) {
        const int x = boundaryX(pos);
        const int tick = pos % 10 == 0 ? 8 : pos % 5 == 0 ? 5 : 3;
        p.drawLine(x, ruler - 1 - tick, x, ruler - 1);
        if (pos % 10 == 0)
            p.drawText(QRect(x + 2, 1, cw * 4, ruler - 6), Qt::AlignLeft | Qt::AlignTop, QString::number(pos));
    }
    p.setFont(font());

    // The lines; a character below a blank is drawn as one so that every
    // character keeps its column.
    const int top = verticalScrollBar()->value();
    const QColor text = palette().color(QPalette::Text);
    const QColor skipped = palette().color(QPalette::Disabled, QPalette::Text);
    for (int i = top; i < m_lines.size(); ++i) {
        const int y = ruler + (i - top) * lh;
        if (y > h)
            break;
        QString line = m_lines[i];
        for (QChar &c : line)
            if (c.unicode() < 32)
                c = QLatin1Char(' ');
        p.setPen(i < m_skipped ? skipped : text);
        p.drawText(boundaryX(0), y + fm.ascent(), line);
    }

    // Separators over everything, with a handle in the ruler.
    auto separator = [&](int pos, const QColor &colour) {
        const int x = boundaryX(pos);
        p.setPen(QPen(colour, 1));
        p.drawLine(x, 0, x, h);
        p.setBrush(colour);
        p.drawPolygon(QPolygon({ QPoint(x - 4, ruler - 7), QPoint(x + 4, ruler - 7), QPoint(x, ruler - 1) }));
    };
    for (int s : m_separators)
        separator(s, SeparatorLine);
    if (m_dragAt >= 0)
        separator(m_dragAt, DraggedLine);
}

void TextViewer::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int x = int(event->position().x());
    m_pressed = true;
    m_afterDoubleClick = false;
    m_undoable = false;
    m_dragMoved = false;
    m_dragFrom = separatorNear(x);
    m_pressChar = charAt(x);
}

void TextViewer::mouseMoveEvent(QMouseEvent *event)
{
    const int x = int(event->position().x());
    if (!(event->buttons() & Qt::LeftButton) || m_dragFrom < 0) {
        viewport()->setCursor(separatorNear(x) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
        return;
    }
    if (!m_dragMoved) {
        // Between its neighbours (or position 0): columns never turn inside out.
        m_dragLow = 0;
        m_dragHigh = INT_MAX;
        for (int s : m_separators) {
            if (s < m_dragFrom)
                m_dragLow = s;
            else if (s > m_dragFrom && m_dragHigh == INT_MAX)
                m_dragHigh = s;
        }
    }
    const int to = std::clamp(boundaryAt(x), m_dragLow, m_dragHigh);
    const int at = m_dragMoved ? m_dragAt : m_dragFrom;
    if (to == at)
        return;
    if (!m_dragMoved) {
        m_dragMoved = true;
        m_separators.removeOne(m_dragFrom);
        emit separatorDragStarted(m_dragFrom);
    }
    m_dragAt = to;
    if (m_selLeft == at)
        m_selLeft = to;
    if (m_selRight == at)
        m_selRight = to;
    emit separatorDragged(at, to);
    viewport()->update();
}

void TextViewer::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    if (m_afterDoubleClick) {
        // The release that ends a double click is not a click.
        m_afterDoubleClick = false;
        m_dragFrom = -1;
        return;
    }
    if (m_dragFrom >= 0 && m_dragMoved) {
        const int at = m_dragAt;
        const bool removed = at == 0 || m_separators.contains(at);
        if (removed) {
            if (m_selLeft == at || m_selRight == at)
                clearSelection();
        } else {
            addSeparators({ at });
        }
        m_dragAt = -1;
        m_dragMoved = false;
        m_dragFrom = -1;
        viewport()->update();
        emit separatorDropped(at, removed);
        return;
    }
    // A separator pressed and not moved is a click on the character there,
    // so that a column one character wide can still be chosen.
    m_dragFrom = -1;
    const int c = m_pressChar;
    if (c < 0)
        return;
    int left = 0;
    int right = -1;
    for (int s : m_separators) {
        if (s <= c)
            left = s;
        else {
            right = s;
            break;
        }
    }
    if (right < 0)
        return; // only between two separators
    const bool selected = !(m_selLeft == left && m_selRight == right);
    m_undoable = true;
    m_undoLeft = m_selLeft;
    m_undoRight = m_selRight;
    if (selected)
        setSelection(left, right);
    else
        clearSelection();
    emit regionClicked(left, right, selected);
}

void TextViewer::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    m_afterDoubleClick = true;
    if (m_undoable) {
        // The first click of the double click did not mean a region.
        m_undoable = false;
        m_selLeft = m_undoLeft;
        m_selRight = m_undoRight;
        emit regionClickUndone();
    }
    const int x = int(event->position().x());
    const int near = separatorNear(x);
    if (near >= 0) {
        m_separators.removeOne(near);
        if (m_selLeft == near || m_selRight == near)
            clearSelection();
        updateScrollBars();
        viewport()->update();
        emit separatorRemoved(near);
        return;
    }
    const int p = boundaryAt(x);
    if (p <= 0 || m_separators.contains(p))
        return;
    addSeparators({ p });
    if (hasSelection() && p > m_selLeft && p < m_selRight)
        clearSelection();
    emit separatorAdded(p);
}
