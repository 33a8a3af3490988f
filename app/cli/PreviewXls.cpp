#include "app/cli/Preview.h"
#include "core/Cp1252.h"
#include "core/FormatSettings.h"
#include "core/Formatting.h"
#include "import/engine/ImportMessages.h"
#include "import/sources/workbook/WorkbookFile.h"
#include "import/sources/workbook/RangeMap.h"

namespace {

// The settings in force for the length of the preview.
class SettingsInForce
{
public:
    explicit SettingsInForce(const FormatSettings &settings)
        : m_saved(FormatSettings::current())
    {
        FormatSettings::setCurrent(settings);
    }
    ~SettingsInForce() { FormatSettings::setCurrent(m_saved); }

private:
    FormatSettings m_saved;
};

} // namespace

// The worksheet names, then every cell in sheet, row and column order with
// its kind and its text as the import takes it; or, with --ranges, the
// cells that range list yields (rows skipped by --skip).
int previewXls(const PreviewOptions &options, QTextStream &out, QTextStream &err)
{
    FormatSettings settings = FormatSettings::current();
    if (!options.dateFormat.isEmpty())
        settings.shortDateFormat = options.dateFormat;
    if (!options.decimal.isEmpty()) {
        if (options.decimal.size() != 1) {
            err << "Argument incorrect : " << options.decimal << "\n";
            return 2;
        }
        settings.decimalSeparator = options.decimal[0];
    }
    if (const QString selfReferring = selfReferringDateTimeFormat(settings); !selfReferring.isEmpty()) {
        err << dataImportError(ImportMsg::DateFormatRefersToItself, { selfReferring }).text() << "\n";
        return 2;
    }
    const SettingsInForce inForce(settings);
    try {
        WorkbookFile file;
        file.setFileName(options.file);
        file.open();
        if (!options.ranges.isEmpty()) {
            RangeMap list(&file, options.skip, 0);
            const MapRow *row = list.add(QString(), options.ranges);
            for (int n = 1; n <= row->total(); ++n)
                out << escapePreviewField(row->cellText(n)) << '\n';
            return 0;
        }
        out << '#';
        for (int i = 0; i < file.workSheetCount(); ++i)
            out << '\t' << escapePreviewField(file.workSheetName(i));
        out << '\n';
        for (int s = 0; s < file.workSheetCount(); ++s) {
            const XlsRowList &rows = file.workSheet(s)->rows();
            for (int r = 0; r < rows.count(); ++r) {
                XlsRow *row = rows.row(r);
                for (int c = 0; c < row->count(); ++c) {
                    const BiffCell *cell = row->cell(c);
                    const QString text = Cp1252::toUnicode(Cp1252::fromUnicode(cell->text()));
                    out << s + 1 << '\t' << cell->name() << '\t' << cell->kindName() << '\t' << escapePreviewField(text) << '\n';
                }
            }
        }
    } catch (const ImportError &e) {
        out.flush();
        err << e.text() << "\n";
        return 1;
    }
    return 0;
}
