#include "gui/cards/frmPlastra_write.h"

#include "data/base/Money.h"
#include "data/books/DbAccess.h"
#include "data/books/SharedQueries.h"
#include "data/cards/CardStore.h"
#include "gui/cards/NumericEdit.h"
#include "gui/cards/PlastraSync.h"
#include "gui/grid/Twips.h"
#include "gui/toolkit/FloatMsg.h"
#include "gui/toolkit/Messages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLabel* panelLabel(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Raised);
    l->setMinimumWidth(TwipsToPixelsX(1100));
    return l;
}

QString plainNumber(const QVariant& v)
{
    if (v.isNull())
        return QStringLiteral("0");
    return QString::number(v.toDouble(), 'g', 15);
}
} // namespace

frmPlastra_write::frmPlastra_write(const QString& cardDbPath, QWidget* parent)
    : QDialog(parent), m_cardDbPath(cardDbPath)
{
    setObjectName(QStringLiteral("frmPlastra_write"));
    setWindowTitle(tr("신용카드 추가"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    createControls();
    layOutControls();
    connect(btnSave, &QPushButton::clicked, this, &frmPlastra_write::btnSave_Click);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdHelp, &QPushButton::clicked, this, &frmPlastra_write::cmdHelp_Click);

    connectEnterKeys();

    // Loading. The settlement days are shown: the settlement window counts
    // each card company's pay-out days with them.
    // As tall as the inputs shown need: hidden rows take no room.
    resize(TwipsToPixelsX(5235), sizeHint().height());
    m_cCode = 0;
    m_cName.clear();
    m_mode = EditMode::None;
    SetMaxLengths();
    ClearInputs();
    ErrorInfo e;
    if (!OpenDB(mdbCard, m_cardDbPath, false, &e)) {
        ShowError(e);
        MsgInfo(tr("신용카드 데이터베이스를 열 수 없습니다."));
    }
}

void frmPlastra_write::createControls()
{
    lblName = panelLabel(tr("*카  드  명"), this);
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    lblFee = panelLabel(tr(" 수수료율"), this);
    txtFee = new NumericEdit(2, true, this);
    txtFee->setObjectName(QStringLiteral("txtFee"));
    lblFeeUnit = new QLabel(QStringLiteral("%"), this);
    lblFeeUnit->setObjectName(QStringLiteral("lblFeeUnit"));
    lblFeeHint = new QLabel(FeeHint(), this);
    lblFeeHint->setObjectName(QStringLiteral("lblFeeHint"));
    lblFeeHint->setStyleSheet(QStringLiteral("color: #c00000"));
    lblFeeHint->hide();
    lblSetDay = panelLabel(tr(" 결제일수"), this);
    lblSetDay->setObjectName(QStringLiteral("lblSetDay"));
    txtSetDay = new NumericEdit(0, false, this);
    txtSetDay->setObjectName(QStringLiteral("txtSetDay"));
    cmdHelp = new QPushButton(QStringLiteral("?"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    cmdHelp->setFixedWidth(TwipsToPixelsX(300));
    ChkContinueAdd = new QCheckBox(tr("계속 등록하기(&N)"), this);
    ChkContinueAdd->setObjectName(QStringLiteral("ChkContinueAdd"));
    btnSave = new QPushButton(tr("저장(&S)"), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnClose = new QPushButton(tr("닫기(&C)"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    cmdHelp->setToolTip(tr("결제일수가 무엇인지 알려 줍니다"));
    ChkContinueAdd->setToolTip(tr("저장한 뒤 창을 닫지 않고 다음 카드사를 등록합니다 (Alt+N)"));
    btnSave->setToolTip(tr("카드사를 저장합니다 (Alt+S, 마지막 칸에서 Enter)"));
    btnClose->setToolTip(tr("저장하지 않고 닫습니다 (Alt+C, Esc)"));
    for (QPushButton* b : {cmdHelp, btnSave, btnClose}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
}

void frmPlastra_write::layOutControls()
{
    auto* grid = new QGridLayout;
    grid->addWidget(lblName, 0, 0);
    grid->addWidget(txtName, 0, 1, 1, 3);
    grid->addWidget(lblFee, 1, 0);
    grid->addWidget(txtFee, 1, 1);
    grid->addWidget(lblFeeUnit, 1, 2);
    // Rows of their own: when hidden, the row and its spacing are gone.
    grid->addWidget(lblFeeHint, 2, 1, 1, 3);
    grid->addWidget(lblSetDay, 3, 0);
    grid->addWidget(txtSetDay, 3, 1);
    grid->addWidget(cmdHelp, 3, 2);
    grid->setColumnStretch(3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ChkContinueAdd);
    buttons->addStretch(1);
    buttons->addWidget(btnSave);
    buttons->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setTabOrder(txtName, txtFee);
    setTabOrder(txtFee, txtSetDay);
}

void frmPlastra_write::connectEnterKeys()
{
    // Enter goes on to the next input shown, its text selected as Tab would
    // leave it (so that typing replaces the "0.00"); in the last one it saves.
    connect(txtName, &QLineEdit::returnPressed, this, [this] { txtFee->setFocus(Qt::TabFocusReason); });
    connect(txtFee, &QLineEdit::returnPressed, this, [this] {
        if (txtSetDay->isVisibleTo(this))
            txtSetDay->setFocus(Qt::TabFocusReason);
        else
            btnSave_Click();
    });
    connect(txtSetDay, &QLineEdit::returnPressed, this, &frmPlastra_write::btnSave_Click);
    // A key the rate box refuses is said beside it, not silently dropped.
    connect(txtFee, &QLineEdit::inputRejected, lblFeeHint, &QWidget::show);
    connect(txtFee, &QLineEdit::textEdited, lblFeeHint, &QWidget::hide);
}

frmPlastra_write::~frmPlastra_write()
{
    CloseRs(mdbCard);
}

void frmPlastra_write::done(int r)
{
    // Unloading the window closes its connection; CCode and CName stay readable.
    CloseRs(mdbCard);
    QDialog::done(r);
}

void frmPlastra_write::setMode(EditMode mode)
{
    m_mode = mode;
    if (mode == EditMode::Add)
        setWindowTitle(tr("신규 카드 등록"));
    else if (mode == EditMode::Change)
        setWindowTitle(tr("기존 카드 수정"));
}

void frmPlastra_write::setCCode(int code)
{
    ChkContinueAdd->hide();
    ChkContinueAdd->setChecked(false);
    LoadCard(code);
}

void frmPlastra_write::setDefaultName(const QString& name)
{
    ChkContinueAdd->hide();
    ChkContinueAdd->setChecked(false);
    txtName->setText(name);
}

void frmPlastra_write::setContinueAdd(bool on)
{
    ChkContinueAdd->setChecked(on);
}

bool frmPlastra_write::continueAdd() const
{
    return ChkContinueAdd->isChecked();
}

QString frmPlastra_write::FeeHint()
{
    return tr("숫자만, 소수 둘째 자리까지 (예: 1.5)");
}

QString frmPlastra_write::HelpText()
{
    return tr("결제일수란 카드사로부터 실수금을 하기까지의 대기일수를 말합니다.\r\n\r\n"
              "이는 입금전표 작성시 결제일자를 자동으로 계산하기 위해 사용됩니다.\r\n\r\n"
              "예를 들어 4를 입력시 고객이 카드로 입금처리 한 날로 부터 4일후에\r\n\r\n"
              "카드사로부터 해당금액을 결제받음을 의미합니다.");
}

void frmPlastra_write::cmdHelp_Click()
{
    MsgInfo(HelpText());
}

void frmPlastra_write::SetMaxLengths()
{
    txtName->setMaxLength(20);
    txtSetDay->setMaxLength(2);
}

void frmPlastra_write::ClearInputs()
{
    txtName->clear();
    txtFee->setNumberText(QStringLiteral("0.00"));
    txtSetDay->setNumberText(QStringLiteral("0"));
    mnCode = -1;
    if (txtName->isVisible())
        txtName->setFocus();
}

void frmPlastra_write::LoadCard(int code)
{
    CardRecord card;
    bool found = false;
    ErrorInfo e;
    if (!CardStore::Fetch(mdbCard, code, &card, &found, &e))
        ShowError(e);
    if (!found)
        return;
    mnCode = code;
    txtName->setText(card.name);
    txtFee->setNumberText(plainNumber(card.fee));
    txtSetDay->setNumberText(plainNumber(card.setday));
}

void frmPlastra_write::btnSave_Click()
{
    if (CheckRequired(txtName, tr("카드명"), false))
        return;
    const bool isNew = m_mode == EditMode::Add;
    if (!SaveCard(isNew))
        return;
    m_cCode = mnCode;
    m_cName = txtName->text();
    if (m_callForm)
        m_callForm->SyncUpdatePlastra(m_cCode, isNew);
    ShowFloatMsg(tr("자료가 저장되었습니다."), 500, 1, FloatMsgColor());
    if (ChkContinueAdd->isChecked())
        ClearInputs();
    else
        accept();
}

bool frmPlastra_write::readFee(double* fee)
{
    // An emptied box is no fee; anything else must read whole as a rate.
    const QString typed = txtFee->plainText();
    bool ok = typed.isEmpty();
    *fee = ok ? 0.0 : typed.toDouble(&ok);
    if (ok && *fee >= 0.0)
        return true;
    MsgWarn(tr("수수료율 '%1'을(를) 읽을 수 없습니다.\r\n0 이상의 숫자로 입력하세요 (예: 1.5).").arg(txtFee->text()));
    txtFee->setFocus(Qt::TabFocusReason);
    txtFee->selectAll();
    return false;
}

bool frmPlastra_write::SaveCard(bool isNew)
{
    double fee = 0.0;
    if (!readFee(&fee))
        return false;
    CardRecord card;
    card.code = isNew ? 0 : mnCode;
    card.name = txtName->text();
    card.fee = fee;
    card.setday = qRound(leadingNumber(txtSetDay->plainText()));
    ErrorInfo e;
    int code = mnCode;
    const bool ok = CardStore::Save(mdbCard, card, &code, &e);
    if (isNew)
        mnCode = code;
    if (!ok)
        ShowError(e);
    return ok;
}
