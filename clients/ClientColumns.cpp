#include "clients/ClientColumns.h"

GridColumn clientColumn(const char *fieldName, const char *title, int width)
{
    GridColumn c;
    c.fieldName = QString::fromLatin1(fieldName);
    c.title = QString::fromUtf8(title);
    c.width = width;
    if (c.fieldName == QLatin1String("CODE"))
        c.alignment = Qt::AlignRight | Qt::AlignVCenter;
    return c;
}
