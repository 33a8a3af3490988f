#pragma once

#include "import/engine/ImportEngine.h"

#include <memory>

class XmlPacketReader;
class XmlTag;

// XML data packets: rows are the children of ROWDATA, each column an
// attribute of the row named by the map value. With WriteOnFly the rows are
// read one at a time from the text instead of from a tree of the whole file,
// and the attribute is the one named after the destination column.
class XmlImport : public ImportEngine
{
public:
    XmlImport();
    ~XmlImport() override;

    bool writeOnFly() const { return m_writeOnFly; }
    void setWriteOnFly(bool on) { m_writeOnFly = on; }

protected:
    // Reads the file (and builds its tree unless WriteOnFly), then the engine's part.
    void prepareImport() override;
    void openSource() override;
    bool hasMoreRows() override;
    // The leading SkipFirstRows rows.
    bool skipRow() override;
    void fillImportRow() override;
    void nextRow() override;
    void finishImport() override;

private:
    bool m_writeOnFly = false;
    std::unique_ptr<XmlPacketReader> m_xml;
    std::unique_ptr<XmlTag> m_current; // the row read last, with WriteOnFly
    int m_rowIndex = 0;
};
