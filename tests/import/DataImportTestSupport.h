#pragma once

#include "data/DataSet.h"
#include "data/Query.h"
#include "import/engine/ImportEngine.h"
#include "import/engine/ImportDestinations.h"
#include "tests/support/TestDatabase.h"

#include <QFile>
#include <QList>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// An import source held in memory: each row is a list of texts and a map
// value is the number of a text in the row, the first being 1.
class TestImportSource : public ImportEngine
{
public:
    QList<QStringList> Rows;
    int OpenCount = 0;

    using ImportEngine::logError;

protected:
    void openSource() override
    {
        ++OpenCount;
        m_pos = 0;
    }
    bool hasMoreRows() override { return m_pos < Rows.size(); }
    void fillImportRow() override
    {
        for (int i = 0; i < row().count(); ++i) {
            ImportColumn *col = row().at(i);
            col->value.clear();
            if (isMappedColumn(col))
                setValue(col->name, Rows[m_pos].value(mapValue(col->mapIndex).toInt() - 1));
        }
        applyFieldFormats();
    }
    void nextRow() override { ++m_pos; }

private:
    int m_pos = 0;
};

// A list view as the engine sees it.
class TestListView : public ListViewDestination
{
public:
    struct Item
    {
        QString caption;
        QStringList subItems;
    };
    QStringList Columns;
    QList<Item> Items;
    int Updating = 0;

    int columnCount() const override { return int(Columns.size()); }
    QString columnCaption(int column) const override { return Columns.value(column); }
    int itemCount() const override { return int(Items.size()); }
    QString itemCaption(int item) const override { return Items[item].caption; }
    void setItemCaption(int item, const QString &text) override { Items[item].caption = text; }
    QString subItem(int item, int subItem) const override { return Items[item].subItems.value(subItem); }
    void setSubItem(int item, int subItem, const QString &text) override
    {
        QStringList &subs = Items[item].subItems;
        while (subs.size() <= subItem)
            subs << QString();
        subs[subItem] = text;
    }
    int addItem(int subItemCount) override
    {
        Items.append(Item { QString(), QStringList(subItemCount, QString()) });
        return int(Items.size()) - 1;
    }
    void deleteItem(int item) override { Items.removeAt(item); }
    void beginUpdate() override { ++Updating; }
    void endUpdate() override { --Updating; }
};

// A text grid as the engine sees it: rows of cells.
class TestStringGrid : public StringGridDestination
{
public:
    int Cols = 0;
    QList<QStringList> Cells; // by row

    TestStringGrid(int cols, int rows)
        : Cols(cols)
    {
        setRowCount(rows);
    }
    int colCount() const override { return Cols; }
    int rowCount() const override { return int(Cells.size()); }
    void setRowCount(int rows) override
    {
        while (Cells.size() < rows)
            Cells << QStringList(Cols, QString());
        while (Cells.size() > rows)
            Cells.removeLast();
    }
    QString cell(int column, int row) const override { return Cells.value(row).value(column); }
    void setCell(int column, int row, const QString &text) override { Cells[row][column] = text; }
};

// A data grid: titled columns over a data set.
class TestDBGrid : public GridDestination
{
public:
    QList<QPair<QString, QString>> Columns; // title, field
    DataSet *Data = nullptr;

    int columnCount() const override { return int(Columns.size()); }
    QString columnTitle(int column) const override { return Columns[column].first; }
    QString columnFieldName(int column) const override { return Columns[column].second; }
    DataSet *gridDataSet() const override { return Data; }
};

// A fresh database with the invoice table open in a data set, and a source
// file for the engine's file check.
struct InvoiceFixture
{
    TestDatabase db;
    DataSet invoices { db.connection(), QStringLiteral("ifacture") };
    QTemporaryDir dir;
    QString sourceFile;

    InvoiceFixture()
    {
        invoices.setSql(QStringLiteral("select * from FACTURE"));
        invoices.setUpdateTable(QStringLiteral("FACTURE"),
            { QStringLiteral("IDENTIFIANT"), QStringLiteral("EXERCICE"), QStringLiteral("TRIMESTRE"), QStringLiteral("NUMEROORDRE") });
        invoices.open();
        sourceFile = dir.path() + QStringLiteral("/source.txt");
        QFile f(sourceFile);
        f.open(QIODevice::WriteOnly);
    }

    // The source configured for the invoice table: company, year, quarter,
    // order number, invoice number, price, date.
    void configure(ImportEngine &source)
    {
        source.setDataSet(&invoices);
        source.setFileName(sourceFile);
        source.setMap(
            { QStringLiteral("IDENTIFIANT=1"), QStringLiteral("EXERCICE=2"), QStringLiteral("TRIMESTRE=3"), QStringLiteral("NUMEROORDRE=4"),
                QStringLiteral("NUMEROFACTURE=5"), QStringLiteral("PRIXVENTE=6"), QStringLiteral("DATEFACTURE=7") });
        ImportFormats formats;
        formats.decimalSeparator = QLatin1Char(',');
        formats.thousandSeparator = QLatin1Char(' ');
        formats.dateSeparator = QLatin1Char('/');
        formats.shortDateFormat = QStringLiteral("dd/mm/yyyy");
        formats.timeSeparator = QLatin1Char(':');
        formats.shortTimeFormat = QStringLiteral("hh:nn");
        source.setFormats(formats);
    }

    static QStringList invoiceRow(int number, const QString &invoiceNumber = QString(), const QString &price = QStringLiteral("10"))
    {
        return { QStringLiteral("0123456AM000"), QStringLiteral("2008"), QStringLiteral("1"), QString::number(number),
            invoiceNumber.isEmpty() ? QStringLiteral("F%1").arg(number) : invoiceNumber, price, QStringLiteral("05/01/2008") };
    }

    int count() { return db.scalar(QStringLiteral("select count(*) from FACTURE")).toInt(); }

    // Order number -> invoice number, as stored.
    QMap<int, QString> stored()
    {
        Query q(db.connection(), QStringLiteral("select NUMEROORDRE, NUMEROFACTURE from FACTURE order by NUMEROORDRE"));
        q.open();
        QMap<int, QString> rows;
        Row row;
        while (q.fetch(row))
            rows.insert(row[0].toInt(), row[1].toString());
        return rows;
    }
};
