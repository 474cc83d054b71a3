#include "LedgerWindowTestBase.h"

#include "data/books/AppPaths.h"
#include "gui/toolkit/ModalRun.h"
#include "gui/toolkit/PeriodBar.h"
#include "output/PrintComponent.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>

void LedgerWindowTestBase::startEnv(const QDate& today)
{
    env = std::make_unique<TestEnv>(today);
    ModalHook::enable();
    ModalHook::reset();
    auto settings = UserSettings();
    settings->remove(QStringLiteral("Configuration"));
}

void LedgerWindowTestBase::stopEnv()
{
    closeWindow();
    ModalHook::reset();
    env.reset();
}

frmMain* LedgerWindowTestBase::openWindow()
{
    auto ctx = std::make_unique<AppContext>();
    if (!ctx->openFolder(env->dbFolder()))
        qFatal("cannot open the test databases for the window");
    ctx->print = std::make_unique<PrintComponent>();
    ctx->print->setPdfTarget(env->appFolder() + QStringLiteral("/print.pdf"));
    win = new frmMain(std::move(ctx));
    win->show();
    if (!QTest::qWaitForWindowExposed(win))
        qWarning("ledger window not exposed");
    win->activateWindow();
    (void)QTest::qWaitForWindowActive(win, 1000);
    win->Form_Activate(); // no-op once the platform has activated it
    return win;
}

void LedgerWindowTestBase::closeWindow()
{
    if (!win)
        return;
    win->close();
    delete win;
    win = nullptr;
}

void LedgerWindowTestBase::setPeriod(const QString& from, const QString& to)
{
    period()->setDateText(0, from);
    period()->setDateText(1, to);
}

void LedgerWindowTestBase::selectCard(int card)
{
    const int index = cardFilter()->findData(card);
    cardFilter()->setCurrentIndex(card == 0 ? 0 : index);
}

void LedgerWindowTestBase::view(const QString& from, const QString& to, int card)
{
    setPeriod(from, to);
    selectCard(card);
    sheet()->setFocus();
    QTest::keyClick(sheet(), Qt::Key_F5);
}

void LedgerWindowTestBase::gotoCell(int col, int row)
{
    sheet()->setFocus();
    sheet()->setActiveCell(row - 1, col);
}

void LedgerWindowTestBase::clickCell(int col, int row)
{
    const QRect cell = sheet()->visualRect(model()->index(row - 1, col));
    QTest::mouseClick(sheet()->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

void LedgerWindowTestBase::typeText(const QString& text, bool enter)
{
    for (int i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        QWidget* target = sheet()->cellEditor() ? static_cast<QWidget*>(sheet()->cellEditor()) : sheet();
        const Qt::Key key =
            ch.unicode() < 128 && ch.isLetterOrNumber() ? Qt::Key(ch.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, target, key, QString(ch), Qt::NoModifier);
    }
    if (enter)
        pressEnter();
}

void LedgerWindowTestBase::typeInto(int col, int row, const QString& text, bool enter)
{
    gotoCell(col, row);
    typeText(text, enter);
}

void LedgerWindowTestBase::pressEnter()
{
    QWidget* target = sheet()->cellEditor() ? static_cast<QWidget*>(sheet()->cellEditor()) : sheet();
    QTest::keyClick(target, Qt::Key_Return);
}

void LedgerWindowTestBase::pressKey(Qt::Key key)
{
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != win)
        target = sheet()->cellEditor() ? static_cast<QWidget*>(sheet()->cellEditor()) : sheet();
    QTest::keyClick(target, key);
}

QString LedgerWindowTestBase::cell(int col, int row) const
{
    return model()->index(row - 1, col).data(Qt::EditRole).toString();
}

QString LedgerWindowTestBase::keyText(int row) const
{
    const int key = model()->index(row - 1, 0).data(LedgerModel::KeyRole).toInt();
    return key > 0 ? QString::number(key) : QString();
}

QString LedgerWindowTestBase::cardText(int row) const
{
    const int card = model()->index(row - 1, 0).data(LedgerModel::CardCodeRole).toInt();
    return card > 0 ? QString::number(card) : QString();
}

QString LedgerWindowTestBase::stripCell(int col) const
{
    return strip()->text(col);
}

int LedgerWindowTestBase::rows() const
{
    return model()->rowCount();
}

int LedgerWindowTestBase::activeCol() const
{
    return sheet()->activeColumn();
}

int LedgerWindowTestBase::activeRow() const
{
    return sheet()->activeRow() + 1;
}

bool LedgerWindowTestBase::editable(int col, int row) const
{
    return model()->flags(model()->index(row - 1, col)) & Qt::ItemIsEditable;
}

void LedgerWindowTestBase::sortBy(int col, Qt::SortOrder order)
{
    sheet()->sortByColumn(col, order);
}

LedgerView* LedgerWindowTestBase::sheet() const
{
    return win->sheetView();
}

LedgerModel* LedgerWindowTestBase::model() const
{
    return sheet()->ledgerModel();
}

LedgerTotalsView* LedgerWindowTestBase::strip() const
{
    return win->findChild<LedgerTotalsView*>(QStringLiteral("spTotal"));
}

PeriodBar* LedgerWindowTestBase::period() const
{
    return win->findChild<PeriodBar*>();
}

QComboBox* LedgerWindowTestBase::cardFilter() const
{
    return win->findChild<QComboBox*>(QStringLiteral("cmbPlastra"));
}

QCheckBox* LedgerWindowTestBase::autoFee() const
{
    return win->findChild<QCheckBox*>(QStringLiteral("chkAutoFee"));
}

int LedgerWindowTestBase::rowOfKey(int key) const
{
    return model()->rowOfKey(key) + 1;
}

QVariantMap LedgerWindowTestBase::entry(int key)
{
    QVariantMap m;
    QSqlQuery q = env->ctx().ledger.newQuery();
    q.prepare(QStringLiteral("SELECT sdate, cardcode, sale, fee, billcoll, numsheet FROM Tallox WHERE code = ?"));
    q.addBindValue(key);
    if (q.exec() && q.next()) {
        m[QStringLiteral("sdate")] = q.value(0).toString();
        m[QStringLiteral("cardcode")] = q.value(1).toInt();
        m[QStringLiteral("sale")] = Money::fromUnits(q.value(2).toLongLong()).toPlainString();
        m[QStringLiteral("fee")] = Money::fromUnits(q.value(3).toLongLong()).toPlainString();
        m[QStringLiteral("billcoll")] = Money::fromUnits(q.value(4).toLongLong()).toPlainString();
        m[QStringLiteral("numsheet")] = q.value(5);
    }
    return m;
}

int LedgerWindowTestBase::lastKey()
{
    return env->ctx().ledger.scalar(QStringLiteral("SELECT MAX(code) FROM Tallox")).toInt();
}
