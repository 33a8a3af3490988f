// glib's headers use the word "signals", which Qt's object headers define
// as a macro: libgsf comes first.
// clang-format off
#include <gsf/gsf-infile-zip.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-utils.h>
// clang-format on

#include "import/sources/workbook/ZipPackage.h"

#include "import/engine/ImportMessages.h"
#include "import/sources/workbook/XmlSaxParser.h"

#include <QFile>

#include <array>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr qint64 BudgetFloor = 16 * 1024 * 1024;
constexpr qint64 BudgetRatio = 100;
constexpr int ChunkSize = 256 * 1024;
// Deeper folders than this hold no workbook part.
constexpr int MaxDepth = 32;

void initGsf()
{
    static std::once_flag once;
    std::call_once(once, [] {
        gsf_init();
        // A damaged archive is reported by the exception; libgsf's own
        // warnings about it would only clutter the operator's console.
        const auto quiet = GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_MESSAGE);
        // The zip reader warns without a domain of its own, and prints the
        // headers it finds damaged.
        for (const char *domain : { "libgsf:zip", "libgsf:gsf", "libgsf", static_cast<const char *>(nullptr) })
            g_log_set_handler(
                domain, quiet, [](const gchar *, GLogLevelFlags, const gchar *, gpointer) {}, nullptr);
        g_set_print_handler([](const gchar *) {});
        g_set_printerr_handler([](const gchar *) {});
    });
}

// Inflates a part on a thread of its own, a few chunks ahead of the parser
// that takes them: on a large sheet inflating is a tenth of the reading
// time, which the reader then no longer waits for. Only this thread reads
// the part while it runs.
class Inflater
{
public:
    struct Chunk
    {
        const char *data = nullptr;
        qsizetype size = 0; // 0 at the end of the part
    };

    explicit Inflater(GsfInput *input)
        : m_input(input)
    {
        for (auto &b : m_buffers)
            b.resize(ChunkSize);
        m_thread = std::thread([this] { run(); });
    }

    ~Inflater()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopped = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    Inflater(const Inflater &) = delete;
    Inflater &operator=(const Inflater &) = delete;

    // The next chunk, valid until the next call; false when the part
    // cannot be read.
    bool next(Chunk &chunk)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_taken) {
            // The chunk handed out last is free again.
            m_taken = false;
            ++m_consumed;
            m_changed.notify_all();
        }
        m_changed.wait(lock, [this] { return m_filled > m_consumed || m_failed || m_ended; });
        if (m_filled > m_consumed) {
            chunk = { m_buffers[m_consumed % Buffers].data(), m_sizes[m_consumed % Buffers] };
            m_taken = true;
            return true;
        }
        if (m_failed)
            return false;
        chunk = {};
        return true;
    }

private:
    static constexpr std::size_t Buffers = 4;

    void run()
    {
        for (;;) {
            std::size_t slot;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_changed.wait(lock, [this] { return m_stopped || m_filled - m_consumed < Buffers; });
                if (m_stopped)
                    return;
                slot = m_filled % Buffers;
            }
            const gsf_off_t left = gsf_input_remaining(m_input);
            const auto n = std::size_t(std::max<gsf_off_t>(0, std::min<gsf_off_t>(left, ChunkSize)));
            const bool ok = n == 0 || gsf_input_read(m_input, n, reinterpret_cast<guint8 *>(m_buffers[slot].data()));
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (!ok)
                    m_failed = true;
                else if (n == 0)
                    m_ended = true;
                else {
                    m_sizes[slot] = qsizetype(n);
                    ++m_filled;
                }
            }
            m_changed.notify_all();
            if (!ok || n == 0)
                return;
        }
    }

    GsfInput *m_input;
    std::array<std::vector<char>, Buffers> m_buffers;
    std::array<qsizetype, Buffers> m_sizes {};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_filled = 0; // chunks inflated so far
    std::size_t m_consumed = 0; // chunks the parser is done with
    bool m_taken = false; // the chunk m_consumed is with the parser
    bool m_ended = false;
    bool m_failed = false;
    bool m_stopped = false;
    std::thread m_thread;
};

QString key(QString name)
{
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (name.startsWith(QLatin1Char('/')))
        name.remove(0, 1);
    return name.toLower();
}

} // namespace

struct ZipPackage::Gsf
{
    GsfInput *input = nullptr;
    GsfInfile *zip = nullptr;
    ~Gsf()
    {
        if (zip)
            g_object_unref(zip);
        if (input)
            g_object_unref(input);
    }
};

// One part open for reading; gives its reference back.
struct ZipPackage::Stream
{
    GsfInput *input = nullptr;
    explicit Stream(GsfInput *in)
        : input(in)
    {
    }
    Stream(Stream &&other) noexcept
        : input(std::exchange(other.input, nullptr))
    {
    }
    Stream(const Stream &) = delete;
    Stream &operator=(const Stream &) = delete;
    ~Stream()
    {
        if (input)
            g_object_unref(input);
    }
};

bool ZipPackage::isZip(const QByteArray &head)
{
    // A local file header, or the end record of an archive with no entry.
    return head.startsWith(QByteArrayLiteral("PK\x03\x04")) || head.startsWith(QByteArrayLiteral("PK\x05\x06"));
}

ZipPackage::ZipPackage(const QString &fileName)
    : m_fileName(fileName)
    , m_gsf(std::make_unique<Gsf>())
{
    initGsf();
    GError *error = nullptr;
    m_gsf->input = gsf_input_stdio_new(QFile::encodeName(fileName).constData(), &error);
    if (error)
        g_error_free(error);
    if (!m_gsf->input)
        damaged(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "it cannot be opened")));
    openRoot();
}

ZipPackage::ZipPackage(const QByteArray &bytes, const QString &fileName)
    : m_fileName(fileName)
    , m_bytes(bytes)
    , m_gsf(std::make_unique<Gsf>())
{
    initGsf();
    m_gsf->input = gsf_input_memory_new(reinterpret_cast<const guint8 *>(m_bytes.constData()), m_bytes.size(), FALSE);
    if (!m_gsf->input)
        damaged(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "it cannot be opened")));
    openRoot();
}

ZipPackage::~ZipPackage() = default;

void ZipPackage::openRoot()
{
    const gsf_off_t size = gsf_input_size(m_gsf->input);
    m_budget = BudgetFloor + BudgetRatio * std::max<gsf_off_t>(size, 0);
    GError *error = nullptr;
    m_gsf->zip = gsf_infile_zip_new(m_gsf->input, &error);
    if (error)
        g_error_free(error);
    if (!m_gsf->zip)
        damaged(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "its zip container cannot be read")));
    listParts(m_gsf->zip, {});
}

void ZipPackage::listParts(void *infile, const QList<QByteArray> &path)
{
    if (path.size() >= MaxDepth)
        return;
    auto *dir = static_cast<GsfInfile *>(infile);
    const int count = gsf_infile_num_children(dir);
    for (int i = 0; i < count; ++i) {
        const char *name = gsf_infile_name_by_index(dir, i);
        if (!name)
            continue;
        QList<QByteArray> elements = path;
        elements << QByteArray(name);
        GsfInput *child = gsf_infile_child_by_index(dir, i);
        if (!child)
            continue;
        const Stream keep(child);
        if (GSF_IS_INFILE(child) && gsf_infile_num_children(GSF_INFILE(child)) >= 0) {
            listParts(child, elements);
            continue;
        }
        QStringList names;
        for (const QByteArray &e : elements)
            names << QString::fromUtf8(e);
        m_parts.insert(key(names.join(QLatin1Char('/'))), elements);
    }
}

QStringList ZipPackage::partNames() const
{
    QStringList names;
    for (const QList<QByteArray> &elements : m_parts) {
        QStringList parts;
        for (const QByteArray &e : elements)
            parts << QString::fromUtf8(e);
        names << parts.join(QLatin1Char('/'));
    }
    names.sort();
    return names;
}

bool ZipPackage::contains(const QString &name) const
{
    return m_parts.contains(key(name));
}

ZipPackage::Stream ZipPackage::openPart(const QString &name)
{
    const auto it = m_parts.constFind(key(name));
    if (it == m_parts.constEnd())
        missingPart(name);
    std::vector<const char *> names;
    for (const QByteArray &e : *it)
        names.push_back(e.constData());
    names.push_back(nullptr);
    Stream stream(gsf_infile_child_by_aname(m_gsf->zip, names.data()));
    if (!stream.input)
        damaged(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "part %1 cannot be read"), name));
    // What the directory announces is what the part inflates to at most.
    if (gsf_input_size(stream.input) > m_budget - m_inflated)
        throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "File %1 is refused: part %2 inflates beyond %3 MB, too much for a file of this size"), m_fileName, name, QString::number(m_budget / (1024 * 1024))));
    return stream;
}

QByteArray ZipPackage::read(const QString &name, qsizetype maxSize)
{
    Stream stream = openPart(name);
    const gsf_off_t size = gsf_input_size(stream.input);
    if (size < 0 || size > maxSize)
        damaged(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "part %1 is too large"), name));
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    if (size > 0 && !gsf_input_read(stream.input, std::size_t(size), reinterpret_cast<guint8 *>(bytes.data())))
        damaged(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "part %1 cannot be read"), name));
    m_inflated += size;
    return bytes;
}

void ZipPackage::parse(const QString &name, XmlHandler &handler)
{
    Stream stream = openPart(name);
    XmlSaxParser parser(handler);
    // Stopped and joined before the stream goes, also when parsing throws.
    Inflater inflater(stream.input);
    try {
        Inflater::Chunk chunk;
        for (;;) {
            if (!inflater.next(chunk))
                damaged(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "part %1 cannot be read"), name));
            if (chunk.size == 0)
                break;
            m_inflated += qint64(chunk.size);
            parser.feed(chunk.data, chunk.size);
        }
        parser.finish();
    } catch (const XmlSyntaxError &e) {
        damaged(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "part %1 is not valid XML (%2, line %3)"), name, QString::fromUtf8(e.what()), QString::number(e.line())));
    }
}

void ZipPackage::damaged(const TranslatedText &what) const
{
    throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "File %1 is damaged: %2"), m_fileName, what));
}

void ZipPackage::missingPart(const QString &name) const
{
    damaged(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "part %1 is missing"), name));
}
