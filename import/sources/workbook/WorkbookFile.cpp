// glib's headers use the word "signals", which Qt's object headers define
// as a macro: libgsf comes first.
// clang-format off
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-utils.h>
// clang-format on

#include "import/sources/workbook/WorkbookFile.h"

#include "import/sources/workbook/XlsArena.h"
#include "import/sources/workbook/XlsRecordStream.h"
#include "import/sources/workbook/ZipWorkbook.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <mutex>

namespace {

void initGsf()
{
    static std::once_flag once;
    std::call_once(once, [] {
        gsf_init();
        // A damaged container is reported by the exception; libgsf's own
        // warnings about it would only clutter the operator's console.
        const auto quiet = GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_MESSAGE);
        for (const char *domain : { "libgsf:msole", "libgsf:gsf", "libgsf" })
            g_log_set_handler(
                domain, quiet, [](const gchar *, GLogLevelFlags, const gchar *, gpointer) {}, nullptr);
    });
}

struct GObjectRef
{
    gpointer object = nullptr;
    GObjectRef() = default;
    explicit GObjectRef(gpointer o)
        : object(o)
    {
    }
    ~GObjectRef()
    {
        if (object)
            g_object_unref(object);
    }
    GObjectRef(const GObjectRef &) = delete;
    GObjectRef &operator=(const GObjectRef &) = delete;
};

// The record stream inside a container: the first root element named
// exactly "Workbook" of a compound document, or the input itself when it is
// no compound document. The result holds its own reference.
GsfInput *openWorkbookStream(GsfInput *input, const QString &fileName)
{
    if (!input)
        WorkbookError::fileInvalid();
    GError *error = nullptr;
    GsfInfile *ole = gsf_infile_msole_new(input, &error);
    if (!ole) {
        if (error)
            g_error_free(error);
        if (gsf_input_seek(input, 0, G_SEEK_SET))
            WorkbookError::fileInvalid();
        g_object_ref(input);
        return input;
    }
    GObjectRef oleRef(ole);
    const int count = gsf_infile_num_children(ole);
    bool encrypted = false;
    for (int i = 0; i < count; ++i) {
        const char *name = gsf_infile_name_by_index(ole, i);
        if (name && std::strcmp(name, "Workbook") == 0) {
            GsfInput *child = gsf_infile_child_by_index(ole, i);
            if (!child)
                WorkbookError::fileInvalid();
            return child;
        }
        // An .xlsx under a password is its zip, encrypted, in a compound document.
        encrypted = encrypted || (name && std::strcmp(name, "EncryptedPackage") == 0);
    }
    if (encrypted)
        throw WorkbookError(messageText(ImportMsg::XlsFileProtected, { fileName }));
    throw WorkbookError(messageText(ImportMsg::XlsNotAWorkbook, { fileName }));
}

} // namespace

QByteArray Xls::workbookStream(const QByteArray &fileBytes, const QString &fileName)
{
    initGsf();
    GObjectRef input(gsf_input_memory_new(reinterpret_cast<const guint8 *>(fileBytes.constData()), fileBytes.size(), FALSE));
    GObjectRef stream(openWorkbookStream(GSF_INPUT(input.object), fileName));
    GsfInput *in = GSF_INPUT(stream.object);
    const gsf_off_t size = gsf_input_size(in);
    // A stream is never larger than the file that holds it.
    if (size < 0 || size > fileBytes.size())
        WorkbookError::fileInvalid();
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (size > 0 && !gsf_input_read(in, std::size_t(size), reinterpret_cast<guint8 *>(out.data())))
        WorkbookError::fileInvalid();
    return out;
}

// Runs the load for WorkbookFile's two ways of opening.
struct XlsFileLoader
{
    static void load(WorkbookFile &file, GsfInput *input)
    {
        XlsArena scratch(file.m_workbook.get());
        XlsRecordStream stream(input, file.m_workbook->arena(), scratch);
        try {
            file.m_workbook->load(stream);
        } catch (...) {
            file.m_workbook->clear();
            throw;
        }
        file.m_opened = true;
    }
};

WorkbookFile::WorkbookFile()
    : m_workbook(std::make_unique<XlsWorkbook>(this))
{
}

WorkbookFile::~WorkbookFile() = default;

void WorkbookFile::open()
{
    close();
    if (m_fileName.isEmpty())
        throw WorkbookError(messageText(ImportMsg::FileNameNotDefined));
    const QFileInfo info(m_fileName);
    if (!info.exists())
        throw WorkbookError(messageText(ImportMsg::FileDoesNotExist, { m_fileName }));
    // .xlsx, .xlsm and .ods are zip files, whatever they are named.
    QFile probe(m_fileName);
    if (probe.open(QIODevice::ReadOnly) && isZipWorkbook(probe.read(4))) {
        probe.close();
        openZipWorkbook(*this, m_fileName);
        return;
    }
    initGsf();
    GError *error = nullptr;
    GsfInput *raw = gsf_input_stdio_new(QFile::encodeName(m_fileName).constData(), &error);
    if (!raw) {
        if (error)
            g_error_free(error);
        throw WorkbookError(messageText(ImportMsg::XlsNotAWorkbook, { m_fileName }));
    }
    GObjectRef input(raw);
    GObjectRef stream(openWorkbookStream(raw, m_fileName));
    GsfInput *in = GSF_INPUT(stream.object);
    if (gsf_input_size(in) > gsf_input_size(raw))
        WorkbookError::fileInvalid();
    XlsFileLoader::load(*this, in);
}

void WorkbookFile::openBuffer(const QByteArray &fileBytes)
{
    close();
    if (isZipWorkbook(fileBytes.left(4))) {
        openZipWorkbook(*this, fileBytes, m_fileName);
        return;
    }
    initGsf();
    GObjectRef input(gsf_input_memory_new(reinterpret_cast<const guint8 *>(fileBytes.constData()), fileBytes.size(), FALSE));
    GObjectRef stream(openWorkbookStream(GSF_INPUT(input.object), m_fileName));
    GsfInput *in = GSF_INPUT(stream.object);
    if (gsf_input_size(in) > fileBytes.size())
        WorkbookError::fileInvalid();
    XlsFileLoader::load(*this, in);
}

void WorkbookFile::close()
{
    m_workbook->clear();
    m_opened = false;
}

int WorkbookFile::workSheetCount() const
{
    return m_opened ? m_workbook->workSheets().count() : 0;
}

XlsWorkSheet *WorkbookFile::workSheet(int index) const
{
    if (!m_opened || index < 0 || index >= m_workbook->workSheets().count())
        return nullptr;
    return m_workbook->workSheets().sheet(index);
}

QString WorkbookFile::workSheetName(int index) const
{
    XlsWorkSheet *sheet = workSheet(index);
    return sheet ? sheet->name() : QString();
}

int WorkbookFile::workSheetIndex(const QString &name) const
{
    for (int i = 0; i < workSheetCount(); ++i)
        if (QString::compare(workSheetName(i), name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
