// clang-format off
#include <gsf/gsf-outfile-zip.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>
// clang-format on

#include "ZipTestPackage.h"

namespace ZipTest {

QByteArray zip(const Parts &parts, bool deflate)
{
    gsf_init();
    GsfOutput *memory = gsf_output_memory_new();
    GError *error = nullptr;
    GsfOutfile *archive = gsf_outfile_zip_new(memory, &error);
    for (const auto &[name, bytes] : parts) {
        GsfOutput *child = gsf_outfile_new_child_full(
            archive, name.toUtf8().constData(), FALSE, "compression-level", deflate ? GSF_ZIP_DEFLATED : GSF_ZIP_STORED, nullptr);
        gsf_output_write(child, std::size_t(bytes.size()), reinterpret_cast<const guint8 *>(bytes.constData()));
        gsf_output_close(child);
        g_object_unref(child);
    }
    gsf_output_close(GSF_OUTPUT(archive));
    g_object_unref(archive);
    gsf_output_close(memory);
    const QByteArray out(
        reinterpret_cast<const char *>(gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory))), qsizetype(gsf_output_size(memory)));
    g_object_unref(memory);
    return out;
}

Parts xlsxParts(const QList<QByteArray> &sheetData, const QList<QByteArray> &sharedStrings, const QByteArray &cellFormats,
    const QByteArray &numberFormats)
{
    const QByteArray main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    QByteArray sheets, rels;
    for (int i = 0; i < sheetData.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        sheets += "<sheet name=\"Sheet" + n + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + rel + "/worksheet\" Target=\"worksheets/sheet" + n + ".xml\"/>";
    }
    rels += "<Relationship Id=\"rIdS\" Type=\"" + rel + "/styles\" Target=\"styles.xml\"/>";
    rels += "<Relationship Id=\"rIdT\" Type=\"" + rel + "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
    QByteArray sst = "<sst xmlns=\"" + main + "\">";
    for (const QByteArray &si : sharedStrings)
        sst += "<si>" + si + "</si>";
    sst += "</sst>";
    Parts parts = {
        { "[Content_Types].xml", "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>" },
        { "_rels/.rels",
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" + rel
                + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>" },
        { "xl/workbook.xml", "<workbook xmlns=\"" + main + "\" xmlns:r=\"" + rel + "\"><sheets>" + sheets + "</sheets></workbook>" },
        { "xl/_rels/workbook.xml.rels",
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" + rels + "</Relationships>" },
        { "xl/styles.xml",
            "<styleSheet xmlns=\"" + main + "\"><numFmts>" + numberFormats + "</numFmts><cellXfs><xf numFmtId=\"0\"/>" + cellFormats
                + "</cellXfs></styleSheet>" },
        { "xl/sharedStrings.xml", sst },
    };
    for (int i = 0; i < sheetData.size(); ++i)
        parts.append({ "xl/worksheets/sheet" + QString::number(i + 1) + ".xml",
            "<worksheet xmlns=\"" + main + "\"><sheetData>" + sheetData[i] + "</sheetData></worksheet>" });
    return parts;
}

QByteArray xlsx(const QList<QByteArray> &sheetData, const QList<QByteArray> &sharedStrings, const QByteArray &cellFormats,
    const QByteArray &numberFormats)
{
    return zip(xlsxParts(sheetData, sharedStrings, cellFormats, numberFormats));
}

QByteArray ods(const QByteArray &tables, const QByteArray &automaticStyles)
{
    const QByteArray content = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                               "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
                               " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
                               " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
                               " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
                               " xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\""
                               " office:version=\"1.2\"><office:automatic-styles>"
        + automaticStyles + "</office:automatic-styles><office:body><office:spreadsheet>" + tables
        + "</office:spreadsheet></office:body></office:document-content>";
    return zip({ { "mimetype", "application/vnd.oasis.opendocument.spreadsheet" }, { "content.xml", content } }, false);
}

} // namespace ZipTest
