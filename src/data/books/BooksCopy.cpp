#include "data/books/BooksCopy.h"

#include "data/books/AppContext.h"
#include "data/books/AppPaths.h"
#include "data/books/DbAccess.h"
#include "data/books/History.h"
#include "data/db/ServerAddress.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace {
struct TableCopy {
    const char* table;   // as the queries name it (card.Plastra through the attached alias)
    const char* columns; // every column, the key first
    const char* order;
};
const TableCopy kTables[] = {
    {"card.Plastra", "code, name, fee, setday", "code"},
    {"Tallox", "code, sdate, cardcode, sale, fee, billcoll, numsheet", "code"},
    {"transfer", "sMonth, amount, cardcode", "cardcode, sMonth"},
    {"main.history",
     "id, at, computer, username, kind, code, sdate, cardcode, field, old_value, new_value, carry_rows, step, origin,"
     " target, undo_state, note",
     "id"},
};

bool copyTable(Database& from, Database& to, const TableCopy& t, qint64* rows, ErrorInfo* error)
{
    const QString columns = QLatin1String(t.columns);
    const int n = int(columns.count(QLatin1Char(','))) + 1;
    QSqlQuery read = from.newQuery();
    if (!read.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                       .arg(columns, QLatin1String(t.table), QLatin1String(t.order))))
        return fail(error, Database::errorOf(read.lastError()));
    QStringList marks;
    for (int i = 0; i < n; ++i)
        marks << QStringLiteral("?");
    QSqlQuery write = to.newQuery();
    if (!write.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                           .arg(QLatin1String(t.table), columns, marks.join(QLatin1Char(',')))))
        return fail(error, Database::errorOf(write.lastError()));
    *rows = 0;
    while (read.next()) {
        for (int i = 0; i < n; ++i)
            write.bindValue(i, read.value(i));
        if (!write.exec())
            return fail(error, Database::errorOf(write.lastError()));
        ++*rows;
    }
    return !read.lastError().isValid() || fail(error, Database::errorOf(read.lastError()));
}

// What must agree after copying: the rows of each table, and per card the
// entries' count and sums and the carry-over rows' sum.
QString fingerprint(Database& db, bool withHistory, ErrorInfo* error)
{
    // Books from before the change history have none to compare.
    const QStringList queries = {
        QStringLiteral("SELECT count(*) FROM card.Plastra"),
        withHistory ? QStringLiteral("SELECT count(*) FROM main.history") : QStringLiteral("SELECT 0"),
        QStringLiteral("SELECT cardcode, count(*), SUM(sale), SUM(fee), SUM(billcoll), SUM(numsheet)"
                       " FROM Tallox GROUP BY cardcode ORDER BY cardcode"),
        QStringLiteral("SELECT cardcode, count(*), SUM(amount) FROM transfer GROUP BY cardcode ORDER BY cardcode"),
    };
    QStringList lines;
    for (const QString& sql : queries) {
        QSqlQuery q = db.newQuery();
        if (!q.exec(sql)) {
            fail(error, Database::errorOf(q.lastError()));
            return {};
        }
        while (q.next()) {
            QStringList fields;
            for (int i = 0; i < q.record().count(); ++i)
                fields << (q.isNull(i) ? QString() : q.value(i).toString()); // a null number reads "0" from the server
            lines << fields.join(QLatin1Char(' '));
        }
    }
    return lines.join(QLatin1Char('\n'));
}

bool openTarget(AppContext& target, const QString& to, ErrorInfo* error)
{
    if (!ServerAddress::Looks(to) && !QFileInfo::exists(AppPaths::ledgerDbFile(to)) &&
        !QFileInfo::exists(AppPaths::cardDbFile(to)) && !CreateDatabaseFiles(to, error))
        return false;
    if (!target.openFolder(to, error) || !UpgradeSchema(target.ledger, error))
        return false;
    const qint64 held =
        target.ledger
            .scalar(QStringLiteral("SELECT (SELECT count(*) FROM Tallox) + (SELECT count(*) FROM card.Plastra)"))
            .toLongLong();
    if (held > 0)
        return fail(error,
                    ErrorInfo::notice(QCoreApplication::translate(
                                          "BooksCopy", "복사할 곳에 이미 자료가 있습니다. 빈 장부에만 복사합니다: %1")
                                          .arg(to)));
    return true;
}
} // namespace

bool CopyBooks(const QString& from, const QString& to, CopyCounts* counts, ErrorInfo* error)
{
    AppContext source;
    AppContext target;
    if (!source.openFolder(from, error, true) || !ReadAsUpgraded(source.ledger, error) ||
        !openTarget(target, to, error))
        return false;
    const bool withHistory = History::TableExists(source.ledger, QStringLiteral("main"));
    Transaction tx(target.ledger);
    qint64* slots[] = {&counts->cards, &counts->entries, &counts->carryOverRows, &counts->historyRows};
    for (int i = 0; i < 4; ++i) {
        if ((i < 3 || withHistory) && !copyTable(source.ledger, target.ledger, kTables[i], slots[i], error))
            return false;
    }
    if (target.ledger.isServer() &&
        target.ledger.execute(QStringLiteral("SELECT setval(pg_get_serial_sequence('main.history', 'id'),"
                                             " (SELECT COALESCE(MAX(id), 0) + 1 FROM main.history), false)"),
                              {}, error) < 0)
        return false;
    ErrorInfo e;
    const QString want = fingerprint(source.ledger, withHistory, &e);
    const QString got = e.isSet() ? QString() : fingerprint(target.ledger, withHistory, &e);
    if (e.isSet())
        return fail(error, e);
    if (want != got)
        return fail(error, ErrorInfo::notice(QCoreApplication::translate(
                               "BooksCopy", "복사한 자료의 건수나 합계가 원본과 다릅니다. 복사하지 않았습니다.")));
    return tx.commit(error);
}
