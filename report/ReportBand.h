#pragma once

#include "report/ReportElement.h"

#include <QVector>

// A horizontal strip of the page with the elements printed in it. Its height
// is the least it takes; wrapped texts may make it taller. A band of no
// height and no element is absent and prints nothing.
class ReportBand
{
public:
    ReportBand() = default;
    explicit ReportBand(double height)
        : m_height(height)
    {
    }

    double height() const { return m_height; }
    void setHeight(double millimetres) { m_height = millimetres; }

    ReportBand &add(const ReportElement &element);
    const QVector<ReportElement> &elements() const { return m_elements; }

    bool isAbsent() const { return m_height <= 0 && m_elements.isEmpty(); }

private:
    double m_height = 0;
    QVector<ReportElement> m_elements;
};
