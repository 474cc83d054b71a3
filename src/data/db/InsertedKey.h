#pragma once

#include "data/db/Database.h"

#include <QSqlQuery>

// The key an INSERT of one row gave that very row. SQLite tells it as the last
// rowid; a server's sequence may since have been moved by a trigger, so there
// the statement returns the row's own key.
inline QString ReturningKey(const Database& db, const QString& insert, const QString& keyColumn)
{
    return db.isServer() ? insert + QStringLiteral(" RETURNING ") + keyColumn : insert;
}

// After exec() of the statement ReturningKey made; invalid when there is none.
inline QVariant InsertedKey(const Database& db, QSqlQuery& q)
{
    if (!db.isServer())
        return q.lastInsertId();
    return q.next() ? q.value(0) : QVariant();
}
