#pragma once

#include <QString>

#include <string>

class ExportFile;

// The bytes of a text export on their way to its file: the writers append to Text(), and the
// buffer goes to the file (whose writes are checked) in pieces of a few hundred kilobytes.
class GridExportBuffer
{
public:
    explicit GridExportBuffer(ExportFile &file);
    std::string &Text() { return m_text; }
    // After each row: writes the buffer once it has grown past a piece.
    void RowDone()
    {
        if (m_text.size() >= kPiece)
            Flush();
    }
    bool Failed() const;
    bool Finish(QString &error); // writes the rest and commits the file

private:
    static constexpr std::size_t kPiece = std::size_t(1) << 18;
    void Flush();
    ExportFile &m_file;
    std::string m_text;
};
