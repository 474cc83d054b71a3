#include "data/ledger/LedgerHistory.h"

#include "data/base/Money.h"
#include "data/books/DbAccess.h"
#include "data/books/LedgerSql.h"
#include "data/ledger/LedgerStore.h"

#include <QCoreApplication>
#include <QHash>
#include <QSqlQuery>

namespace {
const QString kMain = QStringLiteral("main");
const QString kEntryKinds = QStringLiteral("kind IN ('entry-added', 'field-changed', 'entry-deleted')");
const QString kChangeColumns =
    QStringLiteral("id, kind, code, sdate, cardcode, field, old_value, new_value, carry_rows, at, computer, username");

using Change = LedgerHistory::Change;

Change readChange(const QSqlQuery& rs)
{
    Change c;
    c.id = rs.value(0).toLongLong();
    History::KindFromText(rs.value(1).toString(), &c.kind);
    c.key = rs.value(2).toInt();
    c.entryDate = rs.value(3).toString();
    c.card = rs.value(4).toInt();
    c.field = rs.value(5).toString();
    c.oldValue = rs.value(6);
    c.newValue = rs.value(7);
    c.carryRows = rs.value(8).toString();
    return c;
}

// Undo and redo belong to whoever typed: this computer and user.
QVariantList whoBinds()
{
    return {History::ComputerName(), History::UserName()};
}
} // namespace

LedgerHistory::LedgerHistory(LedgerStore& store, Database& ledger) : m_store(store), m_db(ledger) {}

QString LedgerHistory::FieldLabel(const QString& field)
{
    static const QHash<QString, const char*> labels = {
        {QStringLiteral("sdate"), QT_TRANSLATE_NOOP("LedgerHistory", "일자")},
        {QStringLiteral("cardcode"), QT_TRANSLATE_NOOP("LedgerHistory", "카드")},
        {QStringLiteral("numsheet"), QT_TRANSLATE_NOOP("LedgerHistory", "건수")},
        {QStringLiteral("sale"), QT_TRANSLATE_NOOP("LedgerHistory", "매출액")},
        {QStringLiteral("fee"), QT_TRANSLATE_NOOP("LedgerHistory", "수수료")},
        {QStringLiteral("billcoll"), QT_TRANSLATE_NOOP("LedgerHistory", "카드사결제액")},
    };
    const char* label = labels.value(field);
    return label ? QCoreApplication::translate("LedgerHistory", label) : field;
}

QString LedgerHistory::CardName(Database& ledger, int card)
{
    const QString name =
        ledger.scalar(QStringLiteral("SELECT name FROM %1.Plastra WHERE code = ?").arg(CardAlias()), {card}).toString();
    return name.isEmpty() ? QCoreApplication::translate("LedgerHistory", "카드 %1").arg(card) : name;
}

QString LedgerHistory::AmountText(const Money& m)
{
    return m.toDisplayString(m.units() % Money::kScale == 0 ? 0 : 4);
}

QString LedgerHistory::ValueText(Database& ledger, const QString& field, const QVariant& value)
{
    if (value.isNull())
        return QString();
    if (field == QLatin1String("cardcode"))
        return CardName(ledger, value.toInt());
    if (field == QLatin1String("sale") || field == QLatin1String("fee") || field == QLatin1String("billcoll")) {
        const std::optional<Money> m = Money::parse(value.toString());
        return m ? AmountText(*m) : value.toString();
    }
    return value.toString();
}

QString LedgerHistory::Describe(Database& ledger, const Change& c)
{
    const QString entry = c.entryDate + QLatin1Char(' ') + CardName(ledger, c.card);
    switch (c.kind) {
    case History::Kind::FieldChanged:
        return entry + QLatin1Char(' ') + FieldLabel(c.field) + QLatin1Char(' ') +
               ValueText(ledger, c.field, c.oldValue) + QStringLiteral(" → ") + ValueText(ledger, c.field, c.newValue);
    case History::Kind::EntryDeleted: {
        LedgerStore::StoredEntry e;
        LedgerStore::StoredEntry::fromMap(History::ParseRowJson(c.oldValue.toString()), &e);
        return QCoreApplication::translate("LedgerHistory", "%1 삭제 (매출액 %2)").arg(entry, AmountText(e.sale));
    }
    default:
        return entry + QLatin1Char(' ') + History::KindLabel(c.kind);
    }
}

std::optional<LedgerHistory::Step> LedgerHistory::readStep(bool undo, ErrorInfo* error)
{
    if (!History::TableExists(m_db, kMain))
        return std::nullopt;
    // Undo reaches back to the latest rebuild, import or restore, not past it.
    const QVariant barrier = m_db.scalar(QStringLiteral("SELECT COALESCE(MAX(id), 0) FROM history WHERE origin IS NULL"
                                                        " AND kind IN ('rebuild', 'import', 'restore')"),
                                         {}, error);
    if (!barrier.isValid())
        return std::nullopt;
    const QString mine = QStringLiteral(" AND origin IS NULL AND computer = ? AND username = ? AND ") + kEntryKinds;
    const int state = undo ? History::InPlace : History::Undone;
    const QVariant head =
        m_db.scalar(QStringLiteral("SELECT COALESCE(step, id) FROM history WHERE undo_state = ?") + mine +
                        (undo ? QStringLiteral(" AND id > ? ORDER BY id DESC LIMIT 1")
                              : QStringLiteral(" AND id > ? ORDER BY id LIMIT 1")),
                    QVariantList{state} + whoBinds() + QVariantList{undo ? barrier : QVariant(0)}, error);
    if (!head.isValid())
        return std::nullopt;
    // A step's rows are its head and the rows joined to it after: a range of
    // the state index from the head on, however long the history has grown.
    QSqlQuery rs;
    if (!OpenSnapshot(m_db, rs,
                      QStringLiteral("SELECT %1 FROM history WHERE undo_state = ?").arg(kChangeColumns) + mine +
                          QStringLiteral(" AND id >= ? AND COALESCE(step, id) = ? ORDER BY id") +
                          (undo ? QStringLiteral(" DESC") : QString()),
                      QVariantList{state} + whoBinds() + QVariantList{head, head}, error))
        return std::nullopt;
    Step step;
    while (rs.next())
        step.rows.append(readChange(rs));
    if (!FinishRead(rs, error) || step.rows.isEmpty())
        return std::nullopt;
    step.text = Describe(m_db, undo ? step.rows.constLast() : step.rows.constFirst());
    return step;
}

std::optional<LedgerHistory::Step> LedgerHistory::NextUndo(ErrorInfo* error)
{
    return readStep(true, error);
}

std::optional<LedgerHistory::Step> LedgerHistory::NextRedo(ErrorInfo* error)
{
    return readStep(false, error);
}

bool LedgerHistory::Undo(Landing* landing, ErrorInfo* error)
{
    return run(true, landing, error);
}

bool LedgerHistory::Redo(Landing* landing, ErrorInfo* error)
{
    return run(false, landing, error);
}

bool LedgerHistory::checkEntry(const Change& c, bool undo, bool mustExist, ErrorInfo* error)
{
    const QString entry = c.entryDate + QLatin1Char(' ') + CardName(m_db, c.card);
    // A later change of the same entry that is still in place (typed on
    // another computer or by another user) would be overwritten or is in the way.
    QSqlQuery rs;
    if (!OpenSnapshot(m_db, rs,
                      QStringLiteral("SELECT kind, at, computer, username FROM history WHERE id > ? AND code = ?"
                                     " AND origin IS NULL AND undo_state = 0 AND ") +
                          kEntryKinds + QStringLiteral(" ORDER BY id DESC LIMIT 1"),
                      {c.id, c.key}, error))
        return false;
    QString later;
    if (rs.next()) {
        const QString when = QStringLiteral("%1, %2 %3")
                                 .arg(rs.value(1).toString(), rs.value(2).toString(), rs.value(3).toString())
                                 .trimmed();
        later = rs.value(0).toString() == History::KindText(History::Kind::EntryDeleted)
                    ? QCoreApplication::translate("LedgerHistory",
                                                  "%1 자료는 그 뒤에 삭제되었고(%2) 그 삭제가 아직 그대로 있습니다.")
                          .arg(entry, when)
                    : QCoreApplication::translate(
                          "LedgerHistory", "%1 자료는 그 뒤에 다시 수정되었고(%2) 그 수정이 아직 그대로 있습니다.")
                          .arg(entry, when);
    }
    if (!FinishRead(rs, error))
        return false;
    if (!later.isEmpty())
        return refuse(Refusal::LaterChange, undo, later, error);
    if (!mustExist)
        return true;
    const QVariant n = m_db.scalar(QStringLiteral("SELECT count(*) FROM Tallox WHERE code = ?"), {c.key}, error);
    if (!n.isValid())
        return false;
    return n.toInt() > 0 || refuse(Refusal::EntryGone, undo,
                                   QCoreApplication::translate("LedgerHistory", "%1 자료(코드 %2)가 장부에 없습니다.")
                                       .arg(entry, QString::number(c.key)),
                                   error);
}

bool LedgerHistory::checkCards(const Change& c, bool undo, ErrorInfo* error)
{
    QList<int> codes{c.card};
    if (c.field == QLatin1String("cardcode"))
        codes << c.oldValue.toInt() << c.newValue.toInt();
    for (const int code : std::as_const(codes)) {
        if (code == 0)
            continue;
        // Rename and fee changes keep the company; a deletion ends it, and a
        // card added under the code since is another company.
        QSqlQuery rs;
        if (!OpenSnapshot(m_db, rs,
                          QStringLiteral("SELECT kind, at, computer, username, old_value FROM history WHERE id > ?"
                                         " AND cardcode = ? AND kind IN ('card-added', 'card-deleted')"
                                         " ORDER BY id LIMIT 1"),
                          {c.id, code}, error))
            return false;
        QString when, was;
        const bool ended = rs.next();
        if (ended) {
            when = QStringLiteral("%1, %2 %3")
                       .arg(rs.value(1).toString(), rs.value(2).toString(), rs.value(3).toString())
                       .trimmed();
            was = History::ParseRowJson(rs.value(4).toString()).value(QStringLiteral("name")).toString();
        }
        if (!FinishRead(rs, error))
            return false;
        if (!ended)
            continue;
        ErrorInfo e;
        const QVariant now =
            m_db.scalar(QStringLiteral("SELECT name FROM %1.Plastra WHERE code = ?").arg(CardAlias()), {code}, &e);
        if (e.isSet())
            return fail(error, e);
        const QString number = QString::number(code);
        if (was.isEmpty())
            was = QCoreApplication::translate("LedgerHistory", "카드 %1").arg(code);
        if (now.isValid())
            return refuse(Refusal::CardReplaced, undo,
                          QCoreApplication::translate("LedgerHistory",
                                                      "이 변경의 카드사 %1(코드 %2)는 그 뒤에 삭제되었고(%3)"
                                                      " 코드 %2는 지금 다른 카드사 %4의 코드입니다.")
                              .arg(was, number, when, now.toString()),
                          error);
        return refuse(
            Refusal::CardDeleted, undo,
            QCoreApplication::translate("LedgerHistory", "이 변경의 카드사 %1(코드 %2)는 그 뒤에 삭제되었습니다(%3).")
                .arg(was, number, when),
            error);
    }
    return true;
}

bool LedgerHistory::refuse(Refusal why, bool undo, const QString& reason, ErrorInfo* error)
{
    m_refusal = why;
    const QString refused = undo ? QCoreApplication::translate("LedgerHistory", "실행 취소할 수 없습니다.")
                                 : QCoreApplication::translate("LedgerHistory", "다시 실행할 수 없습니다.");
    // A row that cannot be read needs no more words than that.
    return fail(error, ErrorInfo::notice(
                           why == Refusal::Unreadable
                               ? QCoreApplication::translate("LedgerHistory", "변경 내역의 자료를 읽을 수 없습니다.")
                               : refused + QStringLiteral("\r\n\r\n") + reason));
}

bool LedgerHistory::dropCarryRows(const QString& rows, ErrorInfo* error)
{
    QStringList done;
    for (const QString& row : rows.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (done.contains(row))
            continue;
        done.append(row);
        const QString month = row.section(QLatin1Char('/'), 0, 0);
        const int card = row.section(QLatin1Char('/'), 1).toInt();
        // A row stays while the card needs it: its only row before its first entry.
        const QVariant first = m_db.scalar(
            QStringLiteral("SELECT MIN(substr(sdate, 1, 7)) FROM Tallox WHERE cardcode = ? AND %1").arg(RealDaySql()),
            {card}, error);
        const QVariant others = m_db.scalar(
            QStringLiteral("SELECT count(*) FROM transfer WHERE cardcode = ? AND sMonth < ? AND sMonth <> ?"),
            {card, first.toString(), month}, error);
        if (!first.isValid() || !others.isValid())
            return false;
        if ((first.isNull() || others.toInt() > 0) &&
            m_db.execute(QStringLiteral("DELETE FROM transfer WHERE sMonth = ? AND cardcode = ?"), {month, card},
                         error) < 0)
            return false;
    }
    return true;
}

bool LedgerHistory::apply(const Change& c, bool undo, int* key, ErrorInfo* error)
{
    const bool restores =
        (undo && c.kind == History::Kind::EntryDeleted) || (!undo && c.kind == History::Kind::EntryAdded);
    const bool removes =
        (undo && c.kind == History::Kind::EntryAdded) || (!undo && c.kind == History::Kind::EntryDeleted);
    if (!checkEntry(c, undo, !restores, error) || !checkCards(c, undo, error))
        return false;
    *key = c.key;
    m_store.TagNextChange(undo ? History::Origin::Undo : History::Origin::Redo, c.id);
    bool ok = false;
    if (c.kind == History::Kind::FieldChanged) {
        ok = m_store.RecordEditCol(c.key, c.field, undo ? c.oldValue : c.newValue, error);
    } else if (removes) {
        ok = m_store.DeleteRecord(c.key, error);
        *key = 0;
    } else {
        LedgerStore::StoredEntry entry;
        ok = (LedgerStore::StoredEntry::fromMap(History::ParseRowJson((undo ? c.oldValue : c.newValue).toString()),
                                                &entry) ||
              refuse(Refusal::Unreadable, undo, QString(), error)) &&
             m_store.RestoreRecord(entry, key, error);
    }
    m_store.TagNextChange(History::Origin::Change, 0);
    if (!ok)
        return false;
    // Taken back, the carry-over rows that the change and its undo made go
    // (unless the card needs them); applied again, the row notes what the redo made.
    const QString made = m_store.LastCarryRows();
    if (undo && !dropCarryRows(c.carryRows + QLatin1Char(',') + made, error))
        return false;
    const int stillKey = removes ? c.key : *key;
    if (m_db.execute(QStringLiteral("UPDATE history SET undo_state = ?, carry_rows = ?, code = ? WHERE id = ?"),
                     {undo ? int(History::Undone) : int(History::InPlace), undo ? c.carryRows : made, stillKey, c.id},
                     error) != 1)
        return false;
    // An entry back under another key: the later rows of the chain follow it.
    return !restores || stillKey == c.key ||
           m_db.execute(
               QStringLiteral("UPDATE history SET code = ? WHERE code = ? AND id > ? AND origin IS NULL AND ") +
                   kEntryKinds,
               {stillKey, c.key, c.id}, error) >= 0;
}

bool LedgerHistory::run(bool undo, Landing* landing, ErrorInfo* error)
{
    m_refusal = Refusal::None;
    ErrorInfo e;
    const std::optional<Step> step = readStep(undo, &e);
    if (!step && e.isSet())
        return fail(error, e);
    if (!step) {
        m_refusal = Refusal::NoStep;
        return fail(error, ErrorInfo::notice(
                               undo ? QCoreApplication::translate("LedgerHistory", "실행 취소할 변경이 없습니다.")
                                    : QCoreApplication::translate("LedgerHistory", "다시 실행할 변경이 없습니다.")));
    }
    // The whole step and the rows' new state are one transaction.
    Transaction tx(m_db);
    bool ok = tx.isActive();
    const Change& main = undo ? step->rows.constLast() : step->rows.constFirst();
    int mainKey = 0;
    for (const Change& c : step->rows) {
        int key = 0;
        ok = ok && apply(c, undo, &key, &e);
        if (ok && c.id == main.id)
            mainKey = key;
    }
    ok = ok && tx.commit(&e);
    // Carry-over rows may have gone (or a failed step rolled back rows the store remembers).
    m_store.ResetPrevBalanceMemory();
    if (!ok) {
        tx.rollback(&e);
        if (!e.isSet())
            e = Database::errorOf(m_db.handle().lastError());
        return fail(error, e);
    }
    if (landing) {
        landing->key = mainKey;
        landing->field = main.kind == History::Kind::FieldChanged ? main.field : QString();
        landing->date =
            main.field == QLatin1String("sdate") ? (undo ? main.oldValue : main.newValue).toString() : main.entryDate;
    }
    return true;
}
