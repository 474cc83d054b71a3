#pragma once

#include <QString>

// A PostgreSQL server holding the books, written as
// postgresql://[user@]host[:port]/dbname[?sslmode=...]. A password never
// appears in it: libpq finds one in ~/.pgpass, PGPASSWORD or a service file.
// Every field is checked on its own (names of letters, digits, '_', '-', '.',
// sslmode one of libpq's values), so that nothing typed into the address can
// reach libpq as another setting.
struct ServerAddress {
    QString user;
    QString host;
    int port = -1;
    QString dbname;
    QString sslmode;

    // Whether `text` is meant as a server address (rather than a folder).
    static bool Looks(const QString& text);
    // False with a reason (Korean) for an address that cannot be used.
    bool parse(const QString& text, QString* why);
    // The address as shown to the user (it holds no password).
    QString display() const;
    // The options for the Qt driver's connect string: fixed keys, and the
    // sslmode as one of the known values (never text from the address).
    QString connectOptions() const;
};
