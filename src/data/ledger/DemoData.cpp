#include "data/ledger/DemoData.h"

#include "data/base/Clock.h"
#include "data/books/AppContext.h"
#include "data/books/AppPaths.h"
#include "data/books/DbAccess.h"
#include "data/ledger/LedgerStore.h"
#include "data/settlement/Holidays.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>

namespace {
struct PlannedEntry {
    QString date;
    int card = 0;
    Money sale, fee, billcoll;
    int slips = 0;
};

// Every card's sales and, settlement days later, the pay-out of their net.
QVector<PlannedEntry> PlanEntries(const DemoSpec& spec, const QVector<double>& rates, const QVector<int>& setdays)
{
    QRandomGenerator rng(spec.seed);
    const QDate last = spec.lastDay.isValid() ? spec.lastDay : Clock::today().addDays(-1);
    const QDate first = last.addYears(-qMax(1, spec.years)).addDays(1);
    const int days = int(first.daysTo(last)) + 1;
    const int cards = int(rates.size());
    // Half of the entries are sales, half the pay-outs that follow them.
    const int wanted = spec.entries > 0 ? spec.entries : days * qMax(1, cards / 4) * 2;
    const double salesPerDay = double(wanted) / 2.0 / days;

    QVector<PlannedEntry> plan;
    plan.reserve(wanted + 16);
    double carry = 0;
    Holidays holidays;
    Holidays::LoadFor(QString(), &holidays); // the owner's list or the built-in one; unreadable: weekends only
    for (QDate d = first; d <= last && plan.size() < wanted; d = d.addDays(1)) {
        carry += salesPerDay;
        int today = int(carry);
        carry -= today;
        if (d == last) // the rounding shortfall lands on the last day
            today = qMax(today, wanted - int(plan.size()));
        for (int i = 0; i < today && plan.size() < wanted; ++i) {
            const int card = 1 + int(rng.bounded(cards));
            const qint64 won = 100 * (100 + qint64(rng.bounded(30000))); // 10,000 .. 3,010,000 won
            PlannedEntry sale;
            sale.date = DateText::day(d);
            sale.card = card;
            sale.sale = Money::fromWon(won);
            sale.fee = LedgerStore::AutoFee(rates[card - 1], sale.sale);
            sale.slips = 1 + int(rng.bounded(40));
            plan.append(sale);
            // Paid as card companies pay: that many business days later.
            const QDate payDay = holidays.addBusinessDays(d, setdays[card - 1]);
            if (payDay <= last && plan.size() < wanted) {
                PlannedEntry pay;
                pay.date = DateText::day(payDay);
                pay.card = card;
                pay.billcoll = sale.sale - sale.fee;
                pay.slips = 0;
                plan.append(pay);
            }
        }
    }
    std::stable_sort(plan.begin(), plan.end(),
                     [](const PlannedEntry& a, const PlannedEntry& b) { return a.date < b.date; });
    return plan;
}
} // namespace

QStringList DemoCardNames()
{
    // i18n-exempt-begin: the demo shop's card companies are stored data, Korean in every language
    return {QStringLiteral("BC카드"),         QStringLiteral("KB국민카드"),     QStringLiteral("신한카드"),
            QStringLiteral("삼성카드"),       QStringLiteral("현대카드"),       QStringLiteral("롯데카드"),
            QStringLiteral("하나카드"),       QStringLiteral("우리카드"),       QStringLiteral("NH농협카드"),
            QStringLiteral("씨티카드"),       QStringLiteral("IBK기업카드"),    QStringLiteral("수협카드"),
            QStringLiteral("광주카드"),       QStringLiteral("전북카드"),       QStringLiteral("제주카드"),
            QStringLiteral("카카오뱅크카드"), QStringLiteral("SC제일카드"),     QStringLiteral("신협카드"),
            QStringLiteral("우체국카드"),     QStringLiteral("새마을금고카드"), QStringLiteral("KDB산업카드"),
            QStringLiteral("케이뱅크카드"),   QStringLiteral("토스카드"),       QStringLiteral("부산카드"),
            QStringLiteral("경남카드"),       QStringLiteral("대구카드"),       QStringLiteral("저축은행카드"),
            QStringLiteral("산림조합카드"),   QStringLiteral("JCB카드"),        QStringLiteral("VISA카드"),
            QStringLiteral("MASTER카드"),     QStringLiteral("AMEX카드"),       QStringLiteral("은련카드"),
            QStringLiteral("다이너스카드"),   QStringLiteral("BC법인카드"),     QStringLiteral("KB법인카드"),
            QStringLiteral("신한법인카드"),   QStringLiteral("삼성법인카드"),   QStringLiteral("현대법인카드"),
            QStringLiteral("롯데법인카드")};
    // i18n-exempt-end
}

namespace {
// The demo's card companies with their fee rates and settlement days.
bool CreateDemoCards(Database& card, int cards, QRandomGenerator& rng, QVector<double>* rates, QVector<int>* setdays,
                     ErrorInfo* e)
{
    const QStringList names = DemoCardNames();
    Transaction tx(card);
    for (int i = 0; i < cards; ++i) {
        const QString name =
            i < names.size() ? names[i] : names[i % names.size()] + QString::number(i / names.size() + 1);
        const double rate = (150 + 5 * int(rng.bounded(41))) / 100.0; // 1.50 .. 3.50 %
        const int setday = 2 + int(rng.bounded(4));
        *rates << rate;
        *setdays << setday;
        if (card.execute(QStringLiteral("INSERT INTO Plastra (code, name, fee, setday) VALUES (?, ?, ?, ?)"),
                         {i + 1, name, rate, setday}, e) != 1)
            return false;
    }
    return tx.commit(e);
}

// One planned entry typed in as the sheet stores it: insert, then each field.
bool StoreThroughLedger(LedgerStore& store, const PlannedEntry& p, QString* why)
{
    ErrorInfo e;
    int key = 0;
    if (!store.InsertRecord(p.date, p.card, &key, &e)) {
        *why = QCoreApplication::translate("DemoData", "자료를 저장하지 못했습니다 (%1): %2").arg(p.date, ErrorLine(e));
        return false;
    }
    bool ok = store.RecordEditCol(key, QStringLiteral("numsheet"), p.slips, &e);
    if (!p.sale.isZero())
        ok = ok && store.RecordEditCol(key, QStringLiteral("sale"), p.sale.toPlainString(), &e) &&
             store.RecordEditCol(key, QStringLiteral("fee"), p.fee.toPlainString(), &e);
    if (!p.billcoll.isZero())
        ok = ok && store.RecordEditCol(key, QStringLiteral("billcoll"), p.billcoll.toPlainString(), &e);
    if (!ok)
        *why = QCoreApplication::translate("DemoData", "자료를 수정하지 못했습니다 (%1): %2").arg(p.date, ErrorLine(e));
    return ok;
}

bool StoreInBulk(Database& ledger, const PlannedEntry& p, QString* why)
{
    ErrorInfo e;
    if (ledger.execute(QStringLiteral("INSERT INTO Tallox (sdate, cardcode, sale, fee, billcoll, numsheet)"
                                      " VALUES (?, ?, ?, ?, ?, ?)"),
                       {p.date, p.card, p.sale.units(), p.fee.units(), p.billcoll.units(), p.slips}, &e) == 1)
        return true;
    *why = e.description;
    return false;
}
} // namespace

bool GenerateDemoData(const QString& folder, const DemoSpec& spec, QString* error,
                      const std::function<void(int, int)>& progress)
{
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (QFileInfo::exists(AppPaths::ledgerDbFile(folder)) || QFileInfo::exists(AppPaths::cardDbFile(folder)))
        return fail(
            QCoreApplication::translate("DemoData", "이미 Tallox 데이터베이스가 있는 폴더입니다: %1").arg(folder));
    ErrorInfo e;
    if (!CreateDatabaseFiles(folder, &e))
        return fail(e.description);
    AppContext ctx;
    if (!ctx.openFolder(folder, &e))
        return fail(QCoreApplication::translate("DemoData", "데이터베이스를 열 수 없습니다: %1 (%2)")
                        .arg(folder, ErrorLine(e)));

    // Generation is rebuildable from scratch: no need to wait for the disk on every entry.
    ctx.ledger.execute(QStringLiteral("PRAGMA synchronous = OFF"));

    QRandomGenerator rng(spec.seed ^ 0x5eedu);
    QVector<double> rates;
    QVector<int> setdays;
    if (!CreateDemoCards(ctx.card, qBound(1, spec.cards, 9999), rng, &rates, &setdays, &e))
        return fail(e.description);

    const QVector<PlannedEntry> plan = PlanEntries(spec, rates, setdays);
    const int total = int(plan.size());
    LedgerStore store(ctx.ledger);
    constexpr int kBatch = 2000;
    QString why;
    for (int start = 0; start < total; start += kBatch) {
        Transaction tx(ctx.ledger);
        const int end = qMin(total, start + kBatch);
        for (int i = start; i < end; ++i) {
            const bool ok =
                spec.throughStore ? StoreThroughLedger(store, plan[i], &why) : StoreInBulk(ctx.ledger, plan[i], &why);
            if (!ok)
                return fail(why);
        }
        if (!tx.commit(&e))
            return fail(e.description);
        if (progress)
            progress(end, total);
    }
    // The carry-over table as the rebuild makes it, whichever way the entries came in.
    if (!store.ReBaln(&e))
        return fail(QCoreApplication::translate("DemoData", "이월금액을 재정리하지 못했습니다: %1").arg(ErrorLine(e)));
    ctx.ledger.execute(QStringLiteral("PRAGMA synchronous = FULL"));
    ctx.closeAll();
    return true;
}
