#include "core/Cp1252.h"
#include "core/DateTime.h"
#include "core/Formatting.h"
#include "import/engine/ImportEngine.h"

#include <QDir>
#include <QFileInfo>

// ---------------------------------------------------------------------------
// Errors and the log
// ---------------------------------------------------------------------------

QString ImportEngine::logTimeStamp() const
{
    return formatDateTime(m_formats.shortDateFormat + QLatin1Char(' ') + m_formats.shortTimeFormat, DateTime::now(), m_formats.settings());
}

void ImportEngine::openLog()
{
    const QString path = errorLogPath();
    const QDir dir = QFileInfo(path).absoluteDir();
    if (!dir.exists() && !QDir().mkpath(dir.absolutePath()))
        throw Error(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "Cannot create directory \"%1\""),
            QDir::toNativeSeparators(dir.absolutePath())));
    m_log.setFileName(path);
    const QIODevice::OpenMode mode = m_rewriteErrorLogFile ? QIODevice::WriteOnly | QIODevice::Truncate
                                                           : QIODevice::WriteOnly | QIODevice::Append | QIODevice::ExistingOnly;
    if (!m_log.open(mode))
        throw Error(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "Cannot open file \"%1\". %2"),
            QDir::toNativeSeparators(path), m_log.errorString()));
    writeLogLine(formatMessage(ImportMsg::LogImportStarted, { logTimeStamp() }));
    writeLogLine(QString());
}

void ImportEngine::writeLogLine(const QString &line)
{
    // A message of several lines keeps the file's CR LF line ends.
    QString text = line;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    text += QLatin1String("\r\n");
    m_log.write(Cp1252::fromUnicode(text));
    m_log.flush();
}

void ImportEngine::logError(const QString &message)
{
    if (m_errorLog) {
        const QString line = formatMessage(ImportMsg::LogLineError, { logTimeStamp(), QString::number(m_lineNumber), message });
        m_errors << line;
        if (m_log.isOpen())
            writeLogLine(line);
    }
    ++m_lineNumber;
    if (onImportError)
        onImportError(this);
}

void ImportEngine::logError(const std::exception &error)
{
    // The log keeps its lines as written, whatever the operator's language.
    if (const auto *e = dynamic_cast<const Error *>(&error))
        logError(e->sourceText());
    else
        logError(QString::fromLocal8Bit(error.what()));
}

void ImportEngine::logFieldError(const QString &text)
{
    ++m_valueErrorCount;
    if (m_errorLog && m_log.isOpen())
        writeLogLine(formatMessage(ImportMsg::LogLineError, { logTimeStamp(), QString::number(m_lineNumber), text }));
    if (onImportErrorAdv)
        onImportErrorAdv(this);
}
