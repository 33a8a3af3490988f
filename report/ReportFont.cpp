#include "report/ReportFont.h"

QFont reportFont(double pointSize)
{
    QFont font(ReportFontFamily);
    font.setPointSizeF(pointSize);
    font.setStyleHint(QFont::SansSerif); // what stands in should the family be missing
    return font;
}
