#include "import/DataImportCommon.h"

// ---------------------------------------------------------------------------
// Delimited lines
// ---------------------------------------------------------------------------

void SplitDelimitedLine(const QString &line, QChar quote, QChar separator, QStringList &list)
{
    enum class State { FieldStart, Plain, Quoted, AfterQuote, Dropping };

    list.clear();
    QString field;
    State state = State::FieldStart;
    const bool quoting = quote != QChar(0);

    for (const QChar c : line) {
        switch (state) {
        case State::FieldStart:
            if (quoting && c == quote) {
                state = State::Quoted;
                break;
            }
            state = State::Plain;
            [[fallthrough]];
        case State::Plain:
            if (c == separator) {
                list.append(field);
                field.clear();
                state = State::FieldStart;
            } else {
                field += c;
            }
            break;
        case State::Quoted:
            if (c == quote)
                state = State::AfterQuote;
            else
                field += c;
            break;
        case State::AfterQuote:
            if (c == quote) {
                field += c;
                state = State::Quoted;
            } else if (c == separator) {
                list.append(field);
                field.clear();
                state = State::FieldStart;
            } else {
                // Text glued to a closing quote is not part of the value.
                state = State::Dropping;
            }
            break;
        case State::Dropping:
            if (c == separator) {
                list.append(field);
                field.clear();
                state = State::FieldStart;
            }
            break;
        }
    }
    list.append(field);
}

// End of delimited lines
// ---------------------------------------------------------------------------
