// The fixed-width, delimited, dBase and XML pages of the mapping step,
// driven with the mouse on real widgets.

#include "data/DataSet.h"
#include "import/wizard/ImportWizard.h"
#include "import/wizard/WizardWindow.h"
#include "import/wizard/DelimitedPage.h"
#include "import/wizard/FieldPairsPage.h"
#include "import/wizard/FixedWidthPage.h"
#include "import/wizard/TextViewer.h"
#include "tests/wizard/PageDriving.h"
#include "tests/wizard/WizardTestSupport.h"
#include "ui/MessageBox.h"

#include <QLabel>
#include <QStyle>

#include <gtest/gtest.h>

using namespace PageDriving;

namespace {

const QString Fixtures = QStringLiteral(KESTRA_FIXTURES_DIR "/");

class SourcePages : public WizardOnClients
{
protected:
    QPushButton *next(WizardWindow &w) { return find<QPushButton>(w, QStringLiteral("bNext")); }
};

// A press on boundary from, moved to boundary to, released there.
void drag(TextViewer *v, int from, int to)
{
    const int y = v->charPoint(0).y();
    QTest::mousePress(v->viewport(), Qt::LeftButton, {}, QPoint(v->boundaryX(from), y));
    QTest::mouseMove(v->viewport(), QPoint(v->boundaryX(to), y));
    QTest::mouseRelease(v->viewport(), Qt::LeftButton, {}, QPoint(v->boundaryX(to), y));
}

void addSeparator(TextViewer *v, int at)
{
    doubleClick(v->viewport(), QPoint(v->boundaryX(at), v->charPoint(0).y()));
}

} // namespace

// ---------------------------------------------------------------------------
// Fixed-width text
// ---------------------------------------------------------------------------

TEST_F(SourcePages, FixedWidthRegionsGiveAColumnItsPositionAndSize)
{
    // The invoice table, whose numbers the example maps.
    DataSet factures(fx.db.connection(), QStringLiteral("ifacture"));
    factures.setSql(QStringLiteral("select * from FACTURE"));
    factures.open();
    wizard.dataSet = &factures;
    const QString file = fx.write(QStringLiteral("factures.txt"),
        QStringLiteral("15/03/2024F2024-000017     Client un          \r\n16/03/2024F2024-000018     Client deux        \r\n"));
    WizardWindow w(wizard);
    w.show();
    openMapStep(w, aiTXT, file);
    ASSERT_EQ(w.step(), 1) << MessageBox::lastText().toStdString();
    WizardPage &page = *w.page(aiTXT);
    TextViewer *viewer = find<TextViewer>(page, QStringLiteral("TextViewer"));
    auto *fields = find<QTreeWidget>(page, QStringLiteral("lvTXTFields"));
    EXPECT_EQ(viewer->lines().size(), 2);
    EXPECT_FALSE(next(w)->isEnabled());

    addSeparator(viewer, 10);
    addSeparator(viewer, 25);
    EXPECT_EQ(viewer->separators(), QList<int>({ 10, 25 }));
    clickItem(fields, QStringLiteral("NUMEROFACTURE"));
    QTest::mouseClick(viewer->viewport(), Qt::LeftButton, {}, viewer->charPoint(12));
    EXPECT_EQ(w.settings().map(aiTXT), QStringList({ QStringLiteral("NUMEROFACTURE=10;15") }));
    QTreeWidgetItem *item = fields->findItems(QStringLiteral("NUMEROFACTURE"), Qt::MatchExactly).value(0);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->text(1), QStringLiteral("10"));
    EXPECT_EQ(item->text(2), QStringLiteral("15"));
    EXPECT_TRUE(next(w)->isEnabled());

    // Another column shows its own region, or none.
    mapFixedWidth(page, QStringLiteral("DATEFACTURE"), 0, 10);
    EXPECT_EQ(viewer->selectionLeft(), 0);
    clickItem(fields, QStringLiteral("NUMEROORDRE"));
    EXPECT_FALSE(viewer->hasSelection());
    clickItem(fields, QStringLiteral("NUMEROFACTURE"));
    EXPECT_EQ(viewer->selectionLeft(), 10);
    EXPECT_EQ(viewer->selectionRight(), 25);

    // A click on the selected region takes the column back.
    QTest::mouseClick(viewer->viewport(), Qt::LeftButton, {}, viewer->charPoint(20));
    EXPECT_EQ(w.settings().map(aiTXT), QStringList({ QStringLiteral("DATEFACTURE=0;10") }));
    EXPECT_FALSE(viewer->hasSelection());
    // A double click between separators splits the region; its first click
    // maps nothing.
    addSeparator(viewer, 18);
    EXPECT_EQ(viewer->separators(), QList<int>({ 10, 18, 25 }));
    EXPECT_EQ(w.settings().map(aiTXT), QStringList({ QStringLiteral("DATEFACTURE=0;10") }));

    click(find<QPushButton>(page, QStringLiteral("bTXTClear")));
    EXPECT_TRUE(w.settings().map(aiTXT).isEmpty());
    EXPECT_FALSE(next(w)->isEnabled());
    EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();
}

TEST_F(SourcePages, FixedWidthSeparatorsMoveAndGoWithTheirColumns)
{
    const QString file = fx.write(QStringLiteral("clients.txt"), QStringLiteral("00010Fixe Un          Tunis     \r\n"));
    WizardWindow w(wizard);
    w.show();
    openMapStep(w, aiTXT, file);
    WizardPage &page = *w.page(aiTXT);
    TextViewer *viewer = find<TextViewer>(page, QStringLiteral("TextViewer"));
    mapFixedWidth(page, QStringLiteral("CODE"), 0, 5);
    mapFixedWidth(page, QStringLiteral("NOMBENEFICIAIRE"), 5, 17);
    mapFixedWidth(page, QStringLiteral("ADRESSE"), 22, 10);
    ASSERT_EQ(viewer->separators(), QList<int>({ 5, 22, 32 }));
    auto map = [&] { return w.settings().map(aiTXT).join(u' '); };
    ASSERT_EQ(map(), QStringLiteral("CODE=0;5 NOMBENEFICIAIRE=5;17 ADRESSE=22;10"));

    // Dragged: the column that starts there and the one that ends there follow.
    drag(viewer, 22, 20);
    EXPECT_EQ(viewer->separators(), QList<int>({ 5, 20, 32 }));
    EXPECT_EQ(map(), QStringLiteral("CODE=0;5 NOMBENEFICIAIRE=5;15 ADRESSE=20;12"));
    // It stops at its neighbour; dropped there it goes, with its columns.
    drag(viewer, 20, 2);
    EXPECT_EQ(viewer->separators(), QList<int>({ 5, 32 }));
    EXPECT_EQ(map(), QStringLiteral("CODE=0;5"));
    // Dropped onto position 0.
    drag(viewer, 5, 0);
    EXPECT_EQ(viewer->separators(), QList<int>({ 32 }));
    EXPECT_TRUE(map().isEmpty());

    // A double click on a separator removes it and the columns it bounds.
    mapFixedWidth(page, QStringLiteral("CODE"), 0, 5);
    mapFixedWidth(page, QStringLiteral("ADRESSE"), 22, 10);
    addSeparator(viewer, 32);
    EXPECT_EQ(viewer->separators(), QList<int>({ 5, 22 }));
    EXPECT_EQ(map(), QStringLiteral("CODE=0;5"));
    EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();
}

TEST_F(SourcePages, FixedWidthViewerLinesAndATemplatesMap)
{
    QString text;
    for (int i = 1; i <= 30; ++i)
        text += QStringLiteral("%1Client %2\r\n").arg(i, 5, 10, QLatin1Char('0')).arg(i, -12);
    const QString file = fx.write(QStringLiteral("clients.txt"), text);
    struct Case
    {
        int rows;
        qsizetype lines;
    };
    for (const Case c : { Case { 20, 20 }, Case { 3, 3 }, Case { 0, 30 } }) {
        SCOPED_TRACE(c.rows);
        wizard.textViewerRows = c.rows;
        WizardWindow w(wizard);
        // What a template leaves for the page: placed once the lines are read.
        w.settings().pendingTxtMap = WizardPendingTextMap { { { QStringLiteral("code"), QStringLiteral("0;5") },
                                                                 { QStringLiteral("NOMBENEFICIAIRE"), QStringLiteral("5;12") },
                                                                 { QStringLiteral("UNKNOWN"), QStringLiteral("1;1") } },
            1 };
        w.show();
        openMapStep(w, aiTXT, file);
        ASSERT_EQ(w.step(), 1) << MessageBox::lastText().toStdString();
        WizardPage &page = *w.page(aiTXT);
        TextViewer *viewer = find<TextViewer>(page, QStringLiteral("TextViewer"));
        EXPECT_EQ(viewer->lines().size(), c.lines);
        EXPECT_TRUE(viewer->lines().value(0).startsWith(QStringLiteral("00001Client 1 ")));
        EXPECT_EQ(viewer->separators(), QList<int>({ 5, 17 }));
        EXPECT_EQ(w.settings().map(aiTXT).join(u' '), QStringLiteral("CODE=0;5 NOMBENEFICIAIRE=5;12"));
        EXPECT_EQ(find<QLineEdit>(page, QStringLiteral("edSkipLines"))->text(), QStringLiteral("1"));
        EXPECT_TRUE(next(w)->isEnabled());
        type(find<QLineEdit>(page, QStringLiteral("edSkipLines")), QStringLiteral("two"));
        EXPECT_EQ(w.settings().txtSkipLines, 0);
    }
}

// ---------------------------------------------------------------------------
// Delimited text
// ---------------------------------------------------------------------------

TEST_F(SourcePages, DelimitedGridSplitsAsTheImportDoes)
{
    wizard.csvViewerRows = 2;
    const QString file = fx.write(QStringLiteral("clients.csv"),
        QStringLiteral("CODE;NOM;ADRESSE\r\n1;\"Dupont; fils\";Tunis\r\n2;Ben Ali;\"Sfax\"\r\n3;Trois;Sousse\r\n"));
    WizardWindow w(wizard);
    w.show();
    openMapStep(w, aiCSV, file);
    ASSERT_EQ(w.step(), 1) << MessageBox::lastText().toStdString();
    WizardPage &page = *w.page(aiCSV);
    auto *grid = find<QTableView>(page, QStringLiteral("sgCSV"));
    const QAbstractItemModel *model = grid->model();
    EXPECT_EQ(model->rowCount(), 3); // CSVViewerRows + 1
    EXPECT_EQ(model->columnCount(), 3);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Column_1"));
    EXPECT_EQ(model->index(1, 1).data().toString(), QStringLiteral("Dupont; fils"));
    EXPECT_EQ(model->index(2, 2).data().toString(), QStringLiteral("Sfax"));
    // As wide as the widest text, the heading included, and one X more.
    const int x = grid->fontMetrics().horizontalAdvance(QLatin1Char('X'));
    EXPECT_EQ(grid->columnWidth(0), 9 * x);
    EXPECT_EQ(grid->columnWidth(1), 13 * x);
    auto *numbers = find<QComboBox>(page, QStringLiteral("cbColNumber"));
    ASSERT_EQ(numbers->count(), 4);
    EXPECT_EQ(numbers->itemText(0), QString());
    EXPECT_EQ(numbers->itemText(3), QStringLiteral("3"));

    // The same column clicked twice for one field: mapped, then not.
    mapDelimited(page, QStringLiteral("NOMBENEFICIAIRE"), 2);
    EXPECT_EQ(w.settings().map(aiCSV), QStringList({ QStringLiteral("NOMBENEFICIAIRE=2") }));
    EXPECT_EQ(numbers->currentText(), QStringLiteral("2"));
    EXPECT_TRUE(next(w)->isEnabled());
    mapDelimited(page, QStringLiteral("NOMBENEFICIAIRE"), 2);
    EXPECT_TRUE(w.settings().map(aiCSV).isEmpty());
    EXPECT_FALSE(next(w)->isEnabled());
    // The header of a column is a click in it too; the list chooses as well.
    clickItem(find<QTreeWidget>(page, QStringLiteral("lvCSVFields")), QStringLiteral("ADRESSE"));
    QHeaderView *header = grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
    EXPECT_EQ(w.settings().csvColumns.value(QStringLiteral("ADRESSE")), QStringLiteral("3"));
    clickItem(find<QTreeWidget>(page, QStringLiteral("lvCSVFields")), QStringLiteral("CODE"));
    numbers->setFocus();
    QTest::keyClick(numbers, Qt::Key_Down);
    EXPECT_EQ(w.settings().csvColumns.value(QStringLiteral("CODE")), QStringLiteral("1"));

    click(find<QPushButton>(page, QStringLiteral("bCSVAutoFill")));
    EXPECT_EQ(w.settings().map(aiCSV).join(u' '), QStringLiteral("CODE=1 TYPEIDENTIFIANT=2 PHYSIQUEMORALE=3"));
    click(find<QPushButton>(page, QStringLiteral("bCSVClear")));
    EXPECT_TRUE(w.settings().csvColumns.isEmpty());
    type(find<QLineEdit>(page, QStringLiteral("edSkipLines")), QStringLiteral("1"));
    EXPECT_EQ(w.settings().csvSkipLines, 1);

    // Another delimiter: the lines are split again.
    click(find<QPushButton>(w, QStringLiteral("bBack")));
    type(find<QComboBox>(w, QStringLiteral("cbComma"))->lineEdit(), QStringLiteral(","));
    click(next(w));
    ASSERT_EQ(w.step(), 1);
    EXPECT_EQ(model->columnCount(), 1);
    EXPECT_EQ(MessageBox::count(), 0) << MessageBox::lastText().toStdString();
}

// The lists of the text pages show the invoice table's longest names and
// their headings whole, beside room for the numbers.
TEST_F(SourcePages, TextPagesListTheirColumnsWhole)
{
    DataSet factures(fx.db.connection(), QStringLiteral("ifacture"));
    factures.setSql(QStringLiteral("select * from FACTURE"));
    factures.open();
    wizard.dataSet = &factures;
    struct Case
    {
        AllowedImport kind;
        const char *list;
        QString file;
    };
    const QString line = QStringLiteral("F1;15/03/2024;12000\r\n");
    const QList<Case> cases = { { aiCSV, "lvCSVFields", fx.write(QStringLiteral("factures.csv"), line) },
        { aiTXT, "lvTXTFields", fx.write(QStringLiteral("factures.txt"), line) } };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.list);
        WizardWindow w(wizard);
        w.show();
        openMapStep(w, c.kind, c.file);
        ASSERT_EQ(w.step(), 1) << MessageBox::lastText().toStdString();
        auto *list = find<QTreeWidget>(*w.page(c.kind), QString::fromLatin1(c.list));
        ASSERT_TRUE(list->findItems(QStringLiteral("MONTANTDROITCONSOMMATION"), Qt::MatchExactly).size() == 1);
        const int digits = list->fontMetrics().horizontalAdvance(QStringLiteral("00000"));
        // A text is drawn whole when its column holds it and the style's margins.
        const int margins = 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
        for (int col = 0; col < list->columnCount(); ++col) {
            SCOPED_TRACE(col);
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                EXPECT_GE(list->columnWidth(col), list->fontMetrics().horizontalAdvance(list->topLevelItem(i)->text(col)) + margins)
                    << list->topLevelItem(i)->text(col).toStdString();
            EXPECT_GE(list->columnWidth(col), list->header()->sectionSizeHint(col));
            if (col > 0) {
                EXPECT_GT(list->columnWidth(col), digits);
            }
        }
        // Every column within the list, none behind a scroll bar.
        EXPECT_LE(list->header()->length(), list->viewport()->width());
    }
}

// With lines skipped, the preview draws them as skipped and marks the
// selected field's column on the data lines only.
TEST_F(SourcePages, DelimitedSkippedLinesAreNotMarkedAsData)
{
    WizardWindow w(wizard);
    w.show();
    openMapStep(w, aiCSV, fx.clientsCsv(2));
    ASSERT_EQ(w.step(), 1) << MessageBox::lastText().toStdString();
    WizardPage &page = *w.page(aiCSV);
    mapDelimited(page, QStringLiteral("NOMBENEFICIAIRE"), 2);
    const QAbstractItemModel *model = find<QTableView>(page, QStringLiteral("sgCSV"))->model();
    const QColor marked = model->index(0, 1).data(Qt::BackgroundRole).value<QColor>();
    ASSERT_TRUE(marked.isValid());
    const QColor skipped = page.palette().color(QPalette::Disabled, QPalette::Text);
    struct Case
    {
        QString skip;
        int dataFrom; // the first line imported
    };
    for (const Case &c : { Case { QStringLiteral("1"), 1 }, Case { QStringLiteral("2"), 2 }, Case { QStringLiteral("0"), 0 } }) {
        SCOPED_TRACE(c.skip.toStdString());
        type(find<QLineEdit>(page, QStringLiteral("edSkipLines")), c.skip);
        for (int row = 0; row < model->rowCount(); ++row) {
            SCOPED_TRACE(row);
            const bool data = row >= c.dataFrom;
            EXPECT_EQ(model->index(row, 1).data(Qt::BackgroundRole).value<QColor>() == marked, data);
            EXPECT_EQ(model->index(row, 0).data(Qt::ForegroundRole).value<QColor>() == skipped, !data);
        }
    }
}

TEST_F(SourcePages, DelimitedGridShowsAtMostItsNumberOfFields)
{
    // A line of a hundred thousand separators makes no grid of as many columns.
    const QString file
        = fx.write(QStringLiteral("wide.csv"), QStringLiteral("a;b\r\n") + QString(100000, QLatin1Char(';')) + QStringLiteral("\r\n"));
    WizardWindow w(wizard);
    w.show();
    openMapStep(w, aiCSV, file);
    ASSERT_EQ(w.step(), 1) << MessageBox::lastText().toStdString();
    WizardPage &page = *w.page(aiCSV);
    EXPECT_EQ(find<QTableView>(page, QStringLiteral("sgCSV"))->model()->columnCount(), 1024);
    EXPECT_EQ(find<QComboBox>(page, QStringLiteral("cbColNumber"))->count(), 1025);
}

TEST_F(SourcePages, TextPagesReadTheFileAgainInTheEncodingChosen)
{
    // UTF-8 without a mark: shown as single-byte text until UTF-8 is chosen.
    const QByteArray utf8 = "CODE;NOM\r\n1;Soci\xC3\xA9t\xC3\xA9\r\n";
    const QString file = fx.path(QStringLiteral("clients.csv"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(utf8);
    }
    WizardWindow w(wizard);
    w.show();
    openMapStep(w, aiCSV, file);
    ASSERT_EQ(w.step(), 1) << MessageBox::lastText().toStdString();
    WizardPage &page = *w.page(aiCSV);
    const QAbstractItemModel *model = find<QTableView>(page, QStringLiteral("sgCSV"))->model();
    auto *encoding = find<QComboBox>(page, QStringLiteral("cbCSVEncoding"));
    EXPECT_EQ(encoding->currentText(), QStringLiteral("Windows-1252 (ANSI)"));
    EXPECT_EQ(model->index(1, 1).data().toString(), QStringLiteral("SociÃ©tÃ©"));
    mapDelimited(page, QStringLiteral("NOMBENEFICIAIRE"), 2);
    encoding->setFocus();
    QTest::keyClick(encoding, Qt::Key_Down);
    EXPECT_EQ(encoding->currentText(), QStringLiteral("UTF-8"));
    EXPECT_EQ(w.settings().textEncoding, teUtf8);
    EXPECT_EQ(model->index(1, 1).data().toString(), QStringLiteral("Société"));
    // The columns did not change: the map stays.
    EXPECT_EQ(w.settings().map(aiCSV), QStringList({ QStringLiteral("NOMBENEFICIAIRE=2") }));

    // The fixed-width page shares the choice, and a mark wins over it.
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("\xEF\xBB\xBF" + utf8);
    }
    WizardWindow y(wizard);
    y.show();
    click(find<QRadioButton>(y, QStringLiteral("rbTXT")));
    const QString txt = fx.path(QStringLiteral("clients.txt"));
    QFile::remove(txt);
    ASSERT_TRUE(QFile::copy(file, txt));
    type(find<QLineEdit>(y, QStringLiteral("edFileName")), txt);
    click(next(y));
    ASSERT_EQ(y.step(), 1) << MessageBox::lastText().toStdString();
    auto *viewer = find<TextViewer>(*y.page(aiTXT), QString());
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->lines().value(1), QStringLiteral("1;Société"));
    EXPECT_EQ(find<QComboBox>(*y.page(aiTXT), QStringLiteral("cbTXTEncoding"))->currentText(), QStringLiteral("Windows-1252 (ANSI)"));
}

// ---------------------------------------------------------------------------
// dBase and XML
// ---------------------------------------------------------------------------

TEST_F(SourcePages, DBaseFieldsPairWithColumns)
{
    WizardWindow w(wizard);
    w.show();
    openMapStep(w, aiDBF, Fixtures + QStringLiteral("dbf/people.dbf"));
    ASSERT_EQ(w.step(), 1) << MessageBox::lastText().toStdString();
    auto &page = *qobject_cast<FieldPairsPage *>(w.page(aiDBF));
    EXPECT_EQ(page.sourceFields(), QStringList({ "NAME", "AMOUNT", "BORN", "OK", "NOTE" }));
    EXPECT_EQ(find<QLabel>(page, QStringLiteral("laDBFFileName"))->text(), QStringLiteral("people.dbf"));
    EXPECT_FALSE(next(w)->isEnabled());

    // 8 destination columns, 5 fields: 5 pairs, 3 columns left.
    click(find<QPushButton>(page, QStringLiteral("bDBFAutoFill")));
    EXPECT_EQ(w.settings().map(aiDBF).join(u' '),
        QStringLiteral("CODE=NAME TYPEIDENTIFIANT=AMOUNT PHYSIQUEMORALE=BORN IDENTIFIANT=OK NOMBENEFICIAIRE=NOTE"));
    EXPECT_EQ(page.unmappedColumns(), QStringList({ "ADRESSE", "NUMEROAUTORISATION", "DATEAUTORISATION" }));
    EXPECT_TRUE(next(w)->isEnabled());

    // A removed pair's column goes back at the end of the list.
    auto *pairs = find<QTreeWidget>(page, QStringLiteral("lvDBFPairs"));
    clickItem(pairs, QStringLiteral("CODE"));
    click(find<QPushButton>(page, QStringLiteral("bDBFRemove")));
    EXPECT_EQ(page.unmappedColumns(), QStringList({ "ADRESSE", "NUMEROAUTORISATION", "DATEAUTORISATION", "CODE" }));
    // A field may feed several columns.
    clickItem(find<QListWidget>(page, QStringLiteral("lstDBFColumns")), QStringLiteral("ADRESSE"));
    clickItem(find<QListWidget>(page, QStringLiteral("lstDBFFields")), QStringLiteral("NOTE"));
    click(find<QPushButton>(page, QStringLiteral("bDBFAdd")));
    EXPECT_EQ(w.settings().dbfPairs.last(), (WizardFieldPair { QStringLiteral("ADRESSE"), QStringLiteral("NOTE") }));
    EXPECT_EQ(page.unmappedColumns(), QStringList({ "NUMEROAUTORISATION", "DATEAUTORISATION", "CODE" }));

    auto *skipDeleted = find<QCheckBox>(page, QStringLiteral("chSkipDeleted"));
    EXPECT_TRUE(skipDeleted->isChecked());
    click(skipDeleted);
    EXPECT_FALSE(w.settings().skipDeleted);
    click(find<QPushButton>(page, QStringLiteral("bDBFClear")));
    EXPECT_TRUE(w.settings().dbfPairs.isEmpty());
    EXPECT_EQ(page.unmappedColumns(), w.settings().columns());
    EXPECT_FALSE(next(w)->isEnabled());
}

TEST_F(SourcePages, XmlFieldsAndUnreadableFieldLists)
{
    struct Case
    {
        const char *name;
        QString text;
        QString error; // empty: the page opens
    };
    const QString header = QStringLiteral("<?xml version=\"1.0\" standalone=\"yes\"?>\n<DATAPACKET Version=\"2.0\">\n");
    const QList<Case> cases = {
        { "fields", QString(), QString() },
        { "no field list", header + QStringLiteral("<ROWDATA>\n<ROW Code=\"1\" />\n</ROWDATA>\n</DATAPACKET>\n"),
            QStringLiteral("XML field list is empty") },
        { "nameless field",
            header
                + QStringLiteral("<METADATA>\n<FIELDS>\n<FIELD attrname=\"Code\" />\n<FIELD fieldtype=\"string\" "
                                 "/>\n</FIELDS>\n</METADATA>\n</DATAPACKET>\n"),
            QStringLiteral("XML read with errors") },
        { "not a packet", QStringLiteral("CODE;NOM\n"), QStringLiteral("Unexpected symbol C at position 1") },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        MessageBox::resetRecord();
        QString file = Fixtures + QStringLiteral("xml/packet.xml");
        if (!c.text.isNull())
            file = fx.write(QStringLiteral("packet.xml"), c.text);
        WizardWindow w(wizard);
        w.show();
        openMapStep(w, aiXML, file);
        if (!c.error.isEmpty()) {
            // Shown, and the wizard is back on its first step.
            EXPECT_EQ(w.step(), 0);
            EXPECT_EQ(MessageBox::lastText(), c.error);
            continue;
        }
        ASSERT_EQ(w.step(), 1) << MessageBox::lastText().toStdString();
        auto &page = *qobject_cast<FieldPairsPage *>(w.page(aiXML));
        EXPECT_EQ(page.sourceFields(), QStringList({ "Code", "Name", "Amount" }));
        EXPECT_EQ(find<QLabel>(page, QStringLiteral("laXMLFileName"))->text(), QStringLiteral("packet.xml"));
        clickItem(find<QListWidget>(page, QStringLiteral("lstXMLColumns")), QStringLiteral("NOMBENEFICIAIRE"));
        clickItem(find<QListWidget>(page, QStringLiteral("lstXMLFields")), QStringLiteral("Name"));
        click(find<QPushButton>(page, QStringLiteral("bXMLAdd")));
        EXPECT_EQ(w.settings().map(aiXML), QStringList({ QStringLiteral("NOMBENEFICIAIRE=Name") }));
        EXPECT_TRUE(next(w)->isEnabled());
        auto *onFly = find<QCheckBox>(page, QStringLiteral("chWriteOnFly"));
        EXPECT_FALSE(onFly->isChecked());
        click(onFly);
        EXPECT_TRUE(w.settings().writeOnFly);
    }
}
