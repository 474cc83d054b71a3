#include "gui/ledger/CarryOverCheckDialog.h"

#include "data/books/AppInfo.h"
#include "data/books/SharedQueries.h"
#include "data/db/Database.h"
#include "gui/grid/SpreadGrid.h"

#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// Card names by code; a card that cannot be read just shows no name.
QHash<int, QString> CardNames(Database& card)
{
    QList<CardName> cards;
    QHash<int, QString> names;
    if (ListCardNames(card, &cards, nullptr)) {
        for (const CardName& c : std::as_const(cards))
            names.insert(c.code, c.name);
    }
    return names;
}
} // namespace

QString CarryOverCheckDialog::SummaryText(const CarryOverCheck& check)
{
    QString text = tr("이월금액이 장부와 맞지 않는 월: %1건, 이월금액이 없는 카드: %2건")
                       .arg(check.rows.size())
                       .arg(check.uncovered.size());
    if (!check.badDates.isEmpty())
        text += tr(", 날짜가 잘못된 자료: %1건").arg(check.badDates.size());
    return text;
}

CarryOverCheckDialog::CarryOverCheckDialog(const CarryOverCheck& check, Database& card, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmBalnCheck"));
    setWindowTitle(tr("잔액 검증"));
    auto* layout = new QVBoxLayout(this);

    lblSummary = new QLabel(SummaryText(check), this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    layout->addWidget(lblSummary);

    spCheck = new SpreadGrid(this);
    spCheck->setObjectName(QStringLiteral("spCheck"));
    DesignFindings();
    FillFindings(check, CardNames(card));
    layout->addWidget(spCheck, 1);

    auto* buttons = new QHBoxLayout();
    buttons->addWidget(new QLabel(tr("잔액 재정리로 이월금액을 장부에서 다시 계산할 수 있습니다."), this), 1);
    btnReBaln = new QPushButton(tr("잔액 재정리"), this);
    btnReBaln->setObjectName(QStringLiteral("btnReBaln"));
    btnClose = new QPushButton(tr("닫기"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setDefault(true);
    btnReBaln->setToolTip(tr("이월금액을 장부에서 다시 계산합니다"));
    btnClose->setToolTip(tr("창을 닫습니다 (Enter, Esc)"));
    buttons->addWidget(btnReBaln);
    buttons->addWidget(btnClose);
    layout->addLayout(buttons);
    connect(btnReBaln, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    resize(720, 360);
}

namespace {
// The findings sheet's columns (1-based, as the grid counts).
enum Col { Card = 1, Name, Month, Stored, Expected, Note, ColCount = Note };
} // namespace

void CarryOverCheckDialog::DesignFindings()
{
    spCheck->setMaxCols(ColCount);
    const QStringList headers = {tr("카드코드"), tr("카드명"), tr("월"), tr("이월금액"), tr("장부금액"), tr("비고")};
    const double widths[] = {7, 16, 8, 13, 13, 22};
    for (int c = 1; c <= ColCount; ++c) {
        spCheck->setHeaderText(c, headers[c - 1]);
        spCheck->setColWidth(c, widths[c - 1]);
    }
    SpreadGrid::NumberFormat amount;
    amount.decimals = 0;
    amount.separators = true;
    spCheck->setCellType(Stored, -1, SpreadGrid::CellType::Number, amount);
    spCheck->setCellType(Expected, -1, SpreadGrid::CellType::Number, amount);
}

void CarryOverCheckDialog::FillFindings(const CarryOverCheck& check, const QHash<int, QString>& names)
{
    spCheck->setMaxRows(int(check.rows.size() + check.uncovered.size() + check.badDates.size()));
    int row = 1;
    for (const CarryOverMismatch& m : check.rows) {
        spCheck->setText(Card, row, QString::number(m.card));
        spCheck->setText(Name, row, names.value(m.card));
        spCheck->setText(Month, row, m.month);
        spCheck->setText(Stored, row, m.stored.toPlainString());
        spCheck->setText(Expected, row, m.expected.toPlainString());
        spCheck->setText(Note, row, tr("차이 %1").arg((m.stored - m.expected).toDisplayString(0, true)));
        ++row;
    }
    for (const CarryOverUncovered& u : check.uncovered) {
        spCheck->setText(Card, row, QString::number(u.card));
        spCheck->setText(Name, row, names.value(u.card));
        spCheck->setText(Month, row, u.firstMonth);
        spCheck->setText(Note, row, tr("첫 거래 이전의 이월금액 없음"));
        ++row;
    }
    // An entry whose date is no real day counts in no balance until it is corrected.
    for (const CarryOverBadDate& b : check.badDates) {
        spCheck->setText(Month, row, b.date);
        spCheck->setText(Note, row, tr("잘못된 날짜 (코드 %1)").arg(b.code));
        ++row;
    }
    spCheck->setLock(-1, -1, true);
    spCheck->setOperationMode(SpreadGrid::OperationMode::RowMode);
}
