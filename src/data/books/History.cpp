#include "data/books/History.h"

#include "data/base/Clock.h"
#include "data/db/InsertedKey.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <array>
#include <pwd.h>
#include <unistd.h>

namespace History {

namespace {
struct KindName {
    Kind kind;
    const char* text;
    const char* label;
};

const std::array<KindName, 10>& kindNames()
{
    static const std::array<KindName, 10> names = {{
        {Kind::EntryAdded, "entry-added", QT_TRANSLATE_NOOP("History", "입력")},
        {Kind::FieldChanged, "field-changed", QT_TRANSLATE_NOOP("History", "수정")},
        {Kind::EntryDeleted, "entry-deleted", QT_TRANSLATE_NOOP("History", "삭제")},
        {Kind::CardAdded, "card-added", QT_TRANSLATE_NOOP("History", "카드 추가")},
        {Kind::CardChanged, "card-changed", QT_TRANSLATE_NOOP("History", "카드 수정")},
        {Kind::CardDeleted, "card-deleted", QT_TRANSLATE_NOOP("History", "카드 삭제")},
        {Kind::CarryOver, "carry-over", QT_TRANSLATE_NOOP("History", "이월금액")},
        {Kind::Rebuild, "rebuild", QT_TRANSLATE_NOOP("History", "잔액 재정리")},
        {Kind::Import, "import", QT_TRANSLATE_NOOP("History", "가져오기")},
        {Kind::Restore, "restore", QT_TRANSLATE_NOOP("History", "복원")},
    }};
    return names;
}

QString originText(Origin origin)
{
    switch (origin) {
    case Origin::Undo:
        return QStringLiteral("undo");
    case Origin::Redo:
        return QStringLiteral("redo");
    default:
        return QString();
    }
}

// A value as the table keeps it: null stays null, everything else is text.
QVariant storedValue(const QVariant& v)
{
    return v.isNull() || !v.isValid() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(v.toString());
}

QVariant nullIfEmpty(const QString& text)
{
    return text.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(text);
}

QVariant nullIfZero(qint64 n)
{
    return n == 0 ? QVariant(QMetaType(QMetaType::LongLong)) : QVariant(n);
}
} // namespace

QString KindText(Kind kind)
{
    for (const KindName& n : kindNames())
        if (n.kind == kind)
            return QString::fromLatin1(n.text);
    return QString();
}

bool KindFromText(const QString& text, Kind* kind)
{
    for (const KindName& n : kindNames()) {
        if (text == QLatin1String(n.text)) {
            *kind = n.kind;
            return true;
        }
    }
    return false;
}

QString KindLabel(Kind kind)
{
    for (const KindName& n : kindNames())
        if (n.kind == kind)
            return QCoreApplication::translate("History", n.label);
    return QString();
}

bool EnsureTable(Database& db, const QString& schema, ErrorInfo* error)
{
    const QStringList statements = {
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1.history ("
                       " id INTEGER PRIMARY KEY AUTOINCREMENT,"
                       " at TEXT NOT NULL,"
                       " computer TEXT NOT NULL DEFAULT '',"
                       " username TEXT NOT NULL DEFAULT '',"
                       " kind TEXT NOT NULL,"
                       " code INTEGER,"
                       " sdate TEXT,"
                       " cardcode INTEGER,"
                       " field TEXT,"
                       " old_value TEXT,"
                       " new_value TEXT,"
                       " carry_rows TEXT,"
                       " step INTEGER,"
                       " origin TEXT,"
                       " target INTEGER,"
                       " undo_state INTEGER NOT NULL DEFAULT 0,"
                       " note TEXT)")
            .arg(schema),
        QStringLiteral("CREATE INDEX IF NOT EXISTS %1.ix_history_at ON history (at)").arg(schema),
        QStringLiteral("CREATE INDEX IF NOT EXISTS %1.ix_history_state ON history (undo_state, id)").arg(schema),
        // Undo looks for the latest rebuild, import or restore before every step.
        QStringLiteral("CREATE INDEX IF NOT EXISTS %1.ix_history_kind ON history (kind, id)").arg(schema),
    };
    Transaction tx(db);
    for (const QString& s : statements) {
        if (db.execute(s, {}, error) < 0)
            return false;
    }
    return tx.commit(error);
}

bool TableExists(Database& db, const QString& schema)
{
    return db.tableExists(schema, QStringLiteral("history"));
}

bool Append(Database& db, const Row& row, qint64* id, ErrorInfo* error, const QString& schema)
{
    // A new entry change ends its typist's redo chain, as in any editor;
    // books changed wholesale (undo stops there too) end everyone's.
    const bool typed =
        row.origin == Origin::Change &&
        (row.kind == Kind::EntryAdded || row.kind == Kind::FieldChanged || row.kind == Kind::EntryDeleted);
    const bool wholesale = row.origin == Origin::Change &&
                           (row.kind == Kind::Import || row.kind == Kind::Restore || row.kind == Kind::Rebuild);
    const QString cut = QStringLiteral("UPDATE %1.history SET undo_state = ? WHERE undo_state = ?").arg(schema);
    if (typed && db.execute(cut + QStringLiteral(" AND computer = ? AND username = ?"),
                            {int(Dropped), int(Undone), ComputerName(), UserName()}, error) < 0)
        return false;
    if (wholesale && db.execute(cut, {int(Dropped), int(Undone)}, error) < 0)
        return false;
    QSqlQuery q = db.newQuery();
    q.prepare(
        ReturningKey(db,
                     QStringLiteral("INSERT INTO %1.history (at, computer, username, kind, code, sdate, cardcode,"
                                    " field, old_value, new_value, carry_rows, step, origin, target, note)"
                                    " VALUES (?, COALESCE(?, ''), COALESCE(?, ''), ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?,"
                                    " ?)")
                         .arg(schema),
                     QStringLiteral("id")));
    const QVariantList binds = {Clock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                ComputerName(),
                                UserName(),
                                KindText(row.kind),
                                nullIfZero(row.key),
                                nullIfEmpty(row.entryDate),
                                nullIfZero(row.card),
                                nullIfEmpty(row.field),
                                storedValue(row.oldValue),
                                storedValue(row.newValue),
                                nullIfEmpty(row.carryRows),
                                nullIfZero(row.step),
                                nullIfEmpty(originText(row.origin)),
                                nullIfZero(row.target),
                                nullIfEmpty(row.note)};
    for (const QVariant& v : binds)
        q.addBindValue(v);
    if (!q.exec())
        return fail(error, Database::errorOf(q.lastError()));
    if (id)
        *id = InsertedKey(db, q).toLongLong();
    return true;
}

QString RowJson(const QVariantMap& fields)
{
    return QString::fromUtf8(QJsonDocument(QJsonObject::fromVariantMap(fields)).toJson(QJsonDocument::Compact));
}

QVariantMap ParseRowJson(const QString& text)
{
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8());
    return doc.isObject() ? doc.object().toVariantMap() : QVariantMap();
}

QString ComputerName()
{
    return QSysInfo::machineHostName();
}

namespace {
QString& userNameOverride()
{
    static QString name;
    return name;
}

QString AccountName()
{
    // The account of the effective user: variables such as USER may be unset
    // (a service) or still name whoever ran su.
    std::array<char, 4096> buffer{};
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name &&
        *found->pw_name)
        return QString::fromLocal8Bit(found->pw_name);
    // An account the password database does not know (a container's bare uid).
    const QString logName = qEnvironmentVariable("LOGNAME", qEnvironmentVariable("USER"));
    return logName.isEmpty() ? QStringLiteral("uid %1").arg(geteuid()) : logName;
}
} // namespace

QString UserName()
{
    if (!userNameOverride().isEmpty())
        return userNameOverride();
    static const QString account = AccountName(); // the same for the whole run
    return account;
}

void SetUserNameOverride(const QString& name)
{
    userNameOverride() = name;
}

} // namespace History
