#pragma once

#include <QByteArray>

// The tokens of a shared formula as one of its cells holds them.
namespace SharedFormulaTokens {
// Walks the tokens copied from a SHRFMLA record into the cell at cellRow,
// cellColumn (length word, then the tokens), turning relative references
// into absolute ones. Raises TokenError for a token it does not know and
// the record's error for tokens that run past their length.
void makeAbsolute(QByteArray &tokens, int cellRow, int cellColumn, quint16 recordId);
} // namespace SharedFormulaTokens
