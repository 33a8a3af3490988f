// Wizard template files (".imp"): loaded over the settings of a client
// import, then the formats and field formats they carry put to the use an
// import makes of them before it reads any row.

#include "core/Formatting.h"
#include "fuzz/FuzzTarget.h"
#include "import/engine/ImportFormats.h"
#include "import/engine/ImportMessages.h"
#include "import/template/TemplateFile.h"
#include "import/engine/ImportSettings.h"
#include "import/sources/workbook/RangeMap.h"

#include <QFile>
#include <QTemporaryFile>

KESTRA_FUZZ_TARGET(template)
{
    // The loader reads files; one temporary file serves every input.
    static QTemporaryFile *file = [] {
        auto *f = new QTemporaryFile;
        f->open();
        return f;
    }();
    file->resize(0);
    file->seek(0);
    file->write(reinterpret_cast<const char *>(data), qint64(size));
    file->flush();

    const QStringList columns { "CODE", "TYPEIDENTIFIANT", "IDENTIFIANT", "NOMBENEFICIAIRE", "ADRESSE", "DATEAUTORISATION" };
    ImportSettings component;
    component.setColumns(columns);
    ImportSettings settings = component;
    try {
        TemplateFile::load(file->fileName(), settings, component);
    } catch (const ImportError &) {
        return;
    }
    const FormatSettings fs = settings.formats.settings();
    selfReferringDateTimeFormat(fs);
    // Whatever the check says, formatting with these formats must end.
    formatDateTime(fs.shortDateFormat + QLatin1Char(' ') + fs.shortTimeFormat, 45366.5, fs);
    dateTimeToStr(45366.75, fs);
    for (const QString &column : columns) {
        try {
            parseMapRow(settings.xlsRanges.value(column), nullptr);
        } catch (const ImportError &) {
        }
        if (const FieldFormat *format = settings.fieldFormat(column)) {
            QString value = QStringLiteral("Null value 12,5");
            applyFieldFormat(value, *format);
        }
    }
    settings.map();
}
