#pragma once

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

// Reads back what the Excel export wrote: a minimal .xlsx (zip) reader for
// tests. Inflates the parts with zlib (which libxlsxwriter links anyway) and
// reads the first worksheet's cells, their styles and the column widths.
struct XlsxCell {
    QString type;  // "n" (number), "s" (shared string), "inlineStr", "str", "b"
    QString value; // the number as written, or the string
    int style = 0; // index into cellXfs
};

struct XlsxColumn {
    double width = 0;
    bool hidden = false;
};

class XlsxReader {
public:
    explicit XlsxReader(const QString& file);

    bool isValid() const { return m_valid; }
    QStringList entryNames() const { return m_entries.keys(); }
    QByteArray entry(const QString& name) const { return m_entries.value(name); }

    QString sheetName() const;             // the first worksheet's name
    int rowCount() const;                  // the last row that holds a cell (1-based)
    int colCount() const;                  // the last column that holds a cell (1-based)
    XlsxCell cell(int row, int col) const; // 1-based; empty type when there is no cell
    QString text(int row, int col) const { return cell(row, col).value; }
    bool bold(int row, int col) const;
    QString numFormat(int row, int col) const; // format code, "" for General
    XlsxColumn column(int col) const;          // 1-based

private:
    void readWorkbook();
    void readSharedStrings();
    void readStyles();
    void readSheet();

    bool m_valid = false;
    QMap<QString, QByteArray> m_entries;
    QString m_sheetName;
    QStringList m_shared;
    QMap<int, QMap<int, XlsxCell>> m_cells;
    QList<QPair<int, int>> m_xfs; // numFmtId, fontId
    QList<bool> m_fontBold;
    QHash<int, QString> m_numFmts;
    QMap<int, XlsxColumn> m_cols;
};
