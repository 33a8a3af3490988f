#pragma once

#include <QString>
#include <QVariant>

// The rows a report prints, read one after the other by column name. The
// engine reads them again for every rendering (the preview renders once to
// show the pages and again when the operator prints), so a source must be
// able to start over. A source may throw Error; the rendering then stops and
// the caller receives it.
class ReportDataSource
{
public:
    virtual ~ReportDataSource() = default;

    // Goes back to before the first row.
    virtual void rewind() = 0;
    // Moves to the next row; false when there is none.
    virtual bool next() = 0;
    // Whether the rows have that column; names compare without regard to case.
    virtual bool hasColumn(const QString &name) const = 0;
    // The value of the current row's column: QString, a number, TimeStamp for
    // a date, or an invalid QVariant for null.
    virtual QVariant value(const QString &name) const = 0;
};
