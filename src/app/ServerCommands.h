#pragma once

#include <QString>

class QTextStream;

// The command-line side of books on a PostgreSQL server.

// The server address a command names (or the stored one), empty for a folder.
QString ServerBooks(const QString& named);
// The help lines of the server commands.
QString ServerUsageText();
// tallox --init-server ADDRESS: Tallox's tables on an empty database.
// 0 when made, 3 when the server cannot be used or already holds books.
int RunInitServer(const QString& address, QTextStream& out, QTextStream& err);
// tallox --copy FROM TO: all books from a folder to a server or back (core/BooksCopy.h).
int RunCopyBooks(const QString& from, const QString& to, QTextStream& out, QTextStream& err);
