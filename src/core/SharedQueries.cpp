#include "core/SharedQueries.h"

#include "core/Clock.h"
#include "core/DbAccess.h"
#include "toolkit/Messages.h"

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QInputMethod>
#include <QRegularExpression>
#include <QScreen>
#include <QSqlError>
#include <QWidget>

namespace {
const QString kModMain = QStringLiteral("modMain");

bool isIdentifier(const QString& name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(name).hasMatch();
}
} // namespace

void FillPlastra(Database& card, QComboBox* combo)
{
    if (!combo)
        return;
    combo->clear();
    combo->addItem(QString(), 0);
    combo->setCurrentIndex(0);
    QSqlQuery rs;
    if (!OpenSnapshot(card, rs, QStringLiteral("SELECT name, code FROM Plastra ORDER BY name")))
        return;
    while (rs.next())
        combo->addItem(rs.value(0).toString(), rs.value(1).toInt());
    if (rs.lastError().isValid())
        MsgProcError(Database::errorOf(rs.lastError()), QStringLiteral("FillPlastra"), QStringLiteral("modMain_SQL"));
    CloseRs(rs);
    combo->setCurrentIndex(0);
}

int GetNextCode(Database& db, const QString& table, const QString& field)
{
    if (!isIdentifier(table) || !isIdentifier(field)) {
        MsgProcError({1, QStringLiteral("invalid table or field name: %1.%2").arg(table, field)},
                     QStringLiteral("GetNextCode"), kModMain);
        return -1;
    }
    QSqlQuery rs;
    if (!OpenSnapshot(db, rs, QStringLiteral("SELECT MAX(\"%1\") FROM \"%2\"").arg(field, table)))
        return -1;
    int next = 1;
    if (rs.next() && !rs.value(0).isNull())
        next = rs.value(0).toInt() + 1;
    CloseRs(rs);
    return next;
}

Money GetPrevBalance(Database& ledger, const QString& periodStart, int cardCode)
{
    Money balance;
    const QString periodMonth = DateText::monthOf(periodStart);
    const QString end = DateText::dayBefore(periodStart);
    if (end.isEmpty()) {
        MsgProcError({13, QStringLiteral("invalid date: %1").arg(periodStart)}, QStringLiteral("GetPrevBalance"),
                     kModMain);
        return balance;
    }

    // Per card: its latest carry-over month before the period's month and that row's amount.
    QString sql = QStringLiteral("SELECT t.cardcode, t.sMonth, t.amount FROM transfer t"
                                 " JOIN (SELECT cardcode, MAX(sMonth) AS m FROM transfer WHERE sMonth < ?");
    QVariantList binds{periodMonth};
    if (cardCode > 0) {
        sql += QStringLiteral(" AND cardcode = ?");
        binds << cardCode;
    }
    sql += QStringLiteral(" GROUP BY cardcode) x ON t.cardcode = x.cardcode AND t.sMonth = x.m ORDER BY t.cardcode");
    QSqlQuery rs;
    if (!OpenSnapshot(ledger, rs, sql, binds))
        return balance;

    struct Row {
        int card;
        QString month;
        QVariant amount;
    };
    QList<Row> rows;
    while (rs.next())
        rows.append({rs.value(0).toInt(), rs.value(1).toString(), rs.value(2)});
    const QSqlError readError = rs.lastError();
    CloseRs(rs);
    if (readError.isValid()) {
        MsgProcError(Database::errorOf(readError), QStringLiteral("GetPrevBalance"), kModMain);
        return balance;
    }

    const QString sumSql = QStringLiteral("SELECT SUM(sale - billcoll - fee) FROM Tallox"
                                          " WHERE cardcode = ? AND sdate BETWEEN ? AND ?");
    for (const Row& r : rows) {
        if (r.amount.isNull()) {
            MsgProcError({94, QStringLiteral("Invalid use of Null")}, QStringLiteral("GetPrevBalance"), kModMain);
            return balance;
        }
        balance += Money::fromUnits(r.amount.toLongLong());
        const QString start = DateText::firstDayAfterMonth(r.month);
        if (start.isEmpty() || start > end)
            continue;
        QSqlQuery sum;
        if (!OpenSnapshot(ledger, sum, sumSql, {r.card, start, end}))
            return balance;
        if (sum.next() && !sum.value(0).isNull())
            balance += Money::fromUnits(sum.value(0).toLongLong());
        CloseRs(sum);
    }
    return balance;
}

double GetFee(Database& card, int cardCode)
{
    QSqlQuery rs;
    if (!OpenSnapshot(card, rs, QStringLiteral("SELECT fee FROM Plastra WHERE code = ?"), {cardCode}))
        return 0.0;
    double rate = 0.0;
    if (rs.next() && !rs.value(0).isNull()) {
        bool ok = false;
        rate = rs.value(0).toDouble(&ok);
        if (!ok) {
            MsgProcError({13, QStringLiteral("Type mismatch")}, QStringLiteral("GetFee"), kModMain);
            rate = 0.0;
        }
    }
    CloseRs(rs);
    return rate;
}

void CenterForm(QWidget* w, bool takeIcon)
{
    if (!w)
        return;
    if (!w->testAttribute(Qt::WA_Moved)) {
        QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            const QRect area = screen->availableGeometry();
            const QSize size = w->frameGeometry().size();
            w->move(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2);
        }
    }
    if (takeIcon)
        w->setWindowIcon(QApplication::windowIcon());
}

void SetImeMode(bool hangul)
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return;
    Qt::InputMethodHints hints = focus->inputMethodHints();
    if (hangul)
        hints &= ~(Qt::ImhPreferLatin | Qt::ImhLatinOnly);
    else
        hints |= Qt::ImhPreferLatin;
    focus->setInputMethodHints(hints);
    if (focus->hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImHints);
}
