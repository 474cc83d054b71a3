#include "gui/cards/CardListWindow.h"

#include "data/base/Money.h"
#include "data/books/DbAccess.h"
#include "data/cards/CardStore.h"
#include "gui/cards/frmPlastra_write.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/grid/Twips.h"
#include "gui/toolkit/Messages.h"
#include "gui/toolkit/ModalRun.h"
#include "gui/toolkit/Utils.h"
#include "gui/toolkit/modSpread.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

QPushButton* MakeCardButton(const QString& caption, const QString& objectName, const QString& toolTip, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(objectName);
    b->setToolTip(toolTip);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QString CardDeleteQuestion(const QString& question, int ledgerEntries)
{
    if (ledgerEntries <= 0)
        return question;
    return question + QCoreApplication::translate(
                          "CardListWindow", "\r\n\r\n이 카드를 사용하는 장부 자료가 %1건 있습니다.\r\n장부 자료는 "
                                            "지워지지 않고 카드코드를 그대로 가지며, 장부에서 카드명만 "
                                            "보이지 않게 됩니다.")
                          .arg(ledgerEntries);
}

CardListWindow::CardListWindow(const QString& cardDbPath, QWidget* parent) : QDialog(parent), m_cardDbPath(cardDbPath)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    SSPanel2 = new QLabel(tr("검   색"), this);
    SSPanel2->setObjectName(QStringLiteral("SSPanel2"));
    SSPanel2->setFrameShape(QFrame::Panel);
    SSPanel2->setFrameShadow(QFrame::Raised);
    SSPanel2->setAlignment(Qt::AlignCenter);
    SSPanel2->setMinimumWidth(TwipsToPixelsX(900));
    txtinput = new QLineEdit(this);
    txtinput->setObjectName(QStringLiteral("txtinput"));
    txtinput->installEventFilter(this);
    spList = new SpreadGrid(this);
    spList->setObjectName(QStringLiteral("spList"));
    btnAdd = MakeCardButton(tr("추가(F2)"), QStringLiteral("btnAdd"), tr("새 카드사를 등록합니다 (F2)"), this);
    btnEdit = MakeCardButton(tr("수정(F3)"), QStringLiteral("btnEdit"), tr("고른 카드사를 고칩니다 (F3, 두 번 누르기)"),
                             this);
    btnDelete = MakeCardButton(tr("삭제(F4)"), QStringLiteral("btnDelete"), tr("고른 카드사를 삭제합니다 (F4)"), this);
    btnClose = MakeCardButton(tr("닫기(&C)"), QStringLiteral("btnClose"), tr("창을 닫습니다 (Alt+C, Esc)"), this);
    // Out of sight but for its bottom edge: the editor opens just below it.
    subFormPos = new QLineEdit(this);
    subFormPos->setObjectName(QStringLiteral("subFormPos"));
    subFormPos->setFocusPolicy(Qt::NoFocus);
    subFormPos->setReadOnly(true);

    connect(btnAdd, &QPushButton::clicked, this, &CardListWindow::btnAdd_Click);
    connect(btnEdit, &QPushButton::clicked, this, &CardListWindow::btnEdit_Click);
    connect(btnDelete, &QPushButton::clicked, this, &CardListWindow::btnDelete_Click);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(spList, &SpreadGrid::dblClick, this, &CardListWindow::spList_DblClick);
    connect(spList, &SpreadGrid::keyPress, this, &CardListWindow::spList_KeyPress);

    // The function keys reach the window whichever control has the focus.
    const struct {
        Qt::Key key;
        void (CardListWindow::*handler)();
    } keys[] = {{Qt::Key_F2, &CardListWindow::btnAdd_Click},
                {Qt::Key_F3, &CardListWindow::btnEdit_Click},
                {Qt::Key_F4, &CardListWindow::btnDelete_Click}};
    for (const auto& k : keys) {
        auto* sc = new QShortcut(QKeySequence(k.key), this);
        sc->setContext(Qt::WindowShortcut);
        connect(sc, &QShortcut::activated, this, k.handler);
    }
}

CardListWindow::~CardListWindow()
{
    CloseRs(mdbCard);
}

bool CardListWindow::openCardDatabase()
{
    ErrorInfo e;
    if (OpenDB(mdbCard, m_cardDbPath, false, &e))
        return true;
    ShowError(e);
    MsgInfo(tr("신용카드 데이터베이스를 열 수 없습니다."));
    return false;
}

void CardListWindow::buildLayout(QWidget* leading)
{
    auto* search = new QHBoxLayout;
    search->addWidget(SSPanel2);
    search->addWidget(txtinput, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(leading);
    buttons->addStretch(1);
    for (QPushButton* b : {btnAdd, btnEdit, btnDelete, btnClose})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addWidget(spList, 1);
    layout->addLayout(buttons);
}

void CardListWindow::placeAnchor(double topTwips)
{
    subFormPos->setGeometry(TwipsToPixelsX(15), TwipsToPixelsY(topTwips), TwipsToPixelsX(600), TwipsToPixelsY(270));
}

bool CardListWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtinput && event->type() == QEvent::KeyPress) {
        const auto* ke = static_cast<QKeyEvent*>(event);
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            // Swallowed: no beep, no default button, just a reload.
            Refresh_Sheet();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CardListWindow::spList_DblClick(int col, int row)
{
    Q_UNUSED(col)
    if (row > 0)
        rowAction();
}

void CardListWindow::spList_KeyPress(int keyAscii)
{
    if (keyAscii == SpreadGrid::kAsciiEnter && spList->activeRow() > 0)
        rowAction();
}

int CardListWindow::GetSelCode() const
{
    if (spList->maxRows() < 1)
        return -1;
    return int(qRound64(leadingNumber(GetCellText(spList, 1, -2))));
}

QString CardListWindow::GetSelName() const
{
    if (spList->maxRows() < 1)
        return QString();
    return GetCellText(spList, 2, -2);
}

void CardListWindow::openEditor(frmPlastra_write::EditMode mode, int code)
{
    frmPlastra_write editor(m_cardDbPath, this);
    editor.setMode(mode);
    if (mode == frmPlastra_write::EditMode::Change)
        editor.setCCode(code);
    else
        editor.setContinueAdd(true);
    editor.setCallForm(this);
    PlaceFormAtControl(&editor, subFormPos, PlaceAcross::AlignLeft, PlaceUpDown::Below);
    ExecModal(&editor);
    spList->setFocus();
}

void CardListWindow::btnAdd_Click()
{
    openEditor(frmPlastra_write::EditMode::Add, 0);
}

void CardListWindow::btnEdit_Click()
{
    const int code = GetSelCode();
    if (code == -1) {
        MsgInfo(tr("수정할 카드를 선택하세요."));
        spList->setFocus();
        return;
    }
    openEditor(frmPlastra_write::EditMode::Change, code);
}

void CardListWindow::btnDelete_Click()
{
    const int code = GetSelCode();
    if (code == -1) {
        MsgInfo(tr("삭제할 카드를 선택하세요."));
        spList->setFocus();
        return;
    }
    const QString name = GetSelName();
    // Without the count the question would hide entries that keep the card's code.
    int entries = 0;
    ErrorInfo e;
    if (!CardStore::LedgerEntriesUsing(m_cardDbPath, code, &entries, &e)) {
        MsgError(tr("장부를 읽을 수 없어 카드를 삭제하지 않았습니다."), e);
        spList->setFocus();
        return;
    }
    const QString question = CardDeleteQuestion(deleteQuestion(name), entries);
    // 아니오 is preselected: Enter alone never deletes.
    if (MsgQuestion(question, tr("카드삭제"), false) != MsgAnswer::No && DeleteCard(code)) {
        DeleteSheetRow(spList, -2, true, true);
        rowCountChanged();
    }
    spList->setFocus();
}

bool CardListWindow::DeleteCard(int code)
{
    ErrorInfo e;
    switch (CardStore::Delete(mdbCard, code, &e)) {
    case CardStore::DeleteOutcome::Deleted:
        return true;
    case CardStore::DeleteOutcome::NotFound:
        MsgWarn(tr("코드[%1]에 해당하는 자료를 삭제 할 수 없습니다.").arg(code));

        return false;
    case CardStore::DeleteOutcome::InUse:
        MsgInfo(tr("해당 카드의 자료가 다른곳에서 사용되고 있어 삭제할 수 없습니다."));
        return false;
    case CardStore::DeleteOutcome::Failed:
        break;
    }
    MsgError(tr("자료를 삭제하는 중 오류가 발생했습니다."), e);
    return false;
}

void CardListWindow::designCardGrid(const QStringList& headers, const QList<double>& widths)
{
    const int cols = int(headers.size());
    spList->setMaxCols(cols);
    spList->setColWidth(0, 3.5);
    spList->setRowHeight(0, 16.1);
    spList->setRowHeight(-1, 14);
    for (int c = 1; c <= cols; ++c) {
        spList->setHeaderText(c, headers[c - 1]);
        spList->setColWidth(c, widths[c - 1]);
    }
    SpreadGrid::NumberFormat whole;
    whole.decimals = 0;
    SpreadGrid::NumberFormat rate;
    rate.decimals = 2;
    spList->setCellType(1, -1, SpreadGrid::CellType::Number, whole);
    spList->setCellType(2, -1, SpreadGrid::CellType::Edit);
    spList->setTypeMaxLength(2, -1, 60);
    spList->setCellType(3, -1, SpreadGrid::CellType::Number, rate);
    if (cols >= 4)
        spList->setCellType(4, -1, SpreadGrid::CellType::Number, whole);
}

void CardListWindow::SetupSheet()
{
    CommonSpreadDesign(spList, true, true, true, true);
}

void CardListWindow::loadCards(CardQuery query)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    spList->setMaxRows(0);
    QList<CardRecord> rows;
    ErrorInfo e;
    if (!query(mdbCard, txtinput->text(), &rows, &e)) {
        rowCountChanged();
        QApplication::restoreOverrideCursor();
        ShowError(e);
        return;
    }
    spList->setReDraw(false);
    spList->setMaxRows(int(rows.size()));
    int row = 0;
    for (const CardRecord& c : rows)
        writeCardRow(++row, c);
    spList->setReDraw(true);
    rowCountChanged();
    QApplication::restoreOverrideCursor();
}

void CardListWindow::SyncUpdatePlastra(int code, bool isNew)
{
    CardRecord card;
    const int row = syncRow(code, isNew, &card);
    if (row < 1)
        return;
    if (isNew)
        rowCountChanged();
    writeCardRow(row, card);
    spList->setActiveCell(qMax(1, spList->activeCol()), row);
}

void CardListWindow::writeCardRow(int row, const CardRecord& card)
{
    auto orEmpty = [](const QVariant& v) { return v.isNull() ? QString() : v.toString(); };
    spList->setText(1, row, QString::number(card.code));
    spList->setText(2, row, card.name);
    spList->setText(3, row, orEmpty(card.fee));
    if (spList->maxCols() >= 4)
        spList->setText(4, row, orEmpty(card.setday));
}

int CardListWindow::syncRow(int code, bool isNew, CardRecord* card)
{
    bool found = false;
    ErrorInfo e;
    if (!CardStore::Fetch(mdbCard, code, card, &found, &e))
        ShowError(e);
    if (!found)
        return 0;
    if (!isNew)
        return qMax(0, spList->activeRow());
    spList->setMaxRows(spList->maxRows() + 1);
    return spList->maxRows();
}
