#pragma once

#include "data/base/Error.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

// The public holidays that pay-outs skip, read from a plain text file
// `holidays.txt`: one "YYYY-MM-DD name" a line, `#` starts a comment line.
// Business days are Monday to Friday except these days.
class Holidays {
public:
    // Reads the text of a holidays file (`source` names it in an error);
    // false with the line at fault, `out` unchanged.
    static bool Parse(const QString& text, const QString& source, Holidays* out, ErrorInfo* error = nullptr);
    static bool Load(const QString& path, Holidays* out, ErrorInfo* error = nullptr);
    // The file that counts for these books: holidays.txt in the books folder,
    // else in the application folder, else the one installed with the
    // program, else the one built in. `booksFolder` may be empty (server books).
    static QString FileFor(const QString& booksFolder);
    static bool LoadFor(const QString& booksFolder, Holidays* out, ErrorInfo* error = nullptr);
    // The list built into the program.
    static QString BuiltInFile();

    QString source() const { return m_source; }
    bool isHoliday(const QDate& d) const { return m_names.contains(d); }
    QString name(const QDate& d) const { return m_names.value(d); }
    bool isBusinessDay(const QDate& d) const;
    // `n` business days after `d`; 0 gives `d` itself (paid the same day).
    QDate addBusinessDays(const QDate& d, int n) const;
    // Business days after `from` up to and including `to` (0 when `to` is not later).
    int businessDaysBetween(const QDate& from, const QDate& to) const;
    // The years that have at least one holiday in the file, ascending.
    QList<int> years() const { return m_years; }
    bool covers(int year) const { return m_years.contains(year); }
    // The years from `from` to `to` that the file does not cover.
    QList<int> missingYears(const QDate& from, const QDate& to) const;
    QList<QDate> dates() const;

private:
    QHash<QDate, QString> m_names;
    QList<int> m_years;
    QString m_source;
};
