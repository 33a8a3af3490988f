#pragma once

#include "core/WorkingContext.h"
#include "data/Query.h"

class Connection;

// Writes the declaration of the working company and year for one quarter,
// record by record as the invoices are read. The query is the window's own:
// its quarter parameter keeps its value from one generation to the next when
// the quarter text is not one of "T1".."T4".
class DeclarationGeneration
{
public:
    explicit DeclarationGeneration(Connection &connection);

    static inline const QString QueryText = QStringLiteral(
        "select * from FACTURE\n\nWHERE IDENTIfiANT=:id   and trimestre=:trm and exercice=:exercice\norder by numeroordre");

    // The path the file is written to: the directory as typed.
    static QString filePath(const QString &directoryText, const QString &quarterText, const QString &exercice);
    // Writes the file; returns its path with the directory trimmed. Throws
    // Error with the failing step's text, leaving what was written.
    QString generate(const QString &directoryText, const QString &quarterText, const WorkingContext &context);

    Query &query() { return m_query; }

private:
    Query m_query;
};
