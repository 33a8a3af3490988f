#pragma once

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QPair>
#include <QString>

#include <initializer_list>
#include <optional>

// Environment variables (and the working directory) set for the scope of a
// test and put back as they were when it ends, even when an assertion ends
// it early: the home, the configuration directories, the PATH a program is
// looked for on.
class ScopedEnvironment
{
public:
    ScopedEnvironment(std::initializer_list<QPair<const char *, QString>> variables, const QString &workingDirectory = QString())
        : m_workingDirectory(QDir::currentPath())
    {
        for (const auto &v : variables) {
            m_saved.append({ v.first, qEnvironmentVariableIsSet(v.first) ? std::optional(qgetenv(v.first)) : std::nullopt });
            qputenv(v.first, v.second.toLocal8Bit());
        }
        if (!workingDirectory.isEmpty())
            QDir::setCurrent(workingDirectory);
    }
    ~ScopedEnvironment()
    {
        QDir::setCurrent(m_workingDirectory);
        for (const auto &s : m_saved) {
            if (s.second)
                qputenv(s.first, *s.second);
            else
                qunsetenv(s.first);
        }
    }
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;

private:
    QString m_workingDirectory;
    QList<QPair<const char *, std::optional<QByteArray>>> m_saved;
};
