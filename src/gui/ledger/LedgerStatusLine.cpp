#include "gui/ledger/LedgerStatusLine.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>

namespace {
// The first steps sit where short messages show (they give way to "저장됨");
// what is loaded and the books stay at the right.
QLabel* AddLabel(QStatusBar* bar, const char* name, bool permanent)
{
    auto* label = new QLabel(bar);
    label->setObjectName(QString::fromLatin1(name));
    if (permanent)
        bar->addPermanentWidget(label);
    else
        bar->addWidget(label, 1);
    return label;
}
} // namespace

LedgerStatusLine::LedgerStatusLine(QStatusBar* bar, const QString& ledgerPath)
    : QObject(bar), m_bar(bar), m_firstSteps(AddLabel(bar, "lblFirstSteps", false)),
      m_overdue(AddLabel(bar, "lblOverdue", false)), m_loaded(AddLabel(bar, "lblLoaded", true)),
      m_books(AddLabel(bar, "lblBooks", true))
{
    m_firstSteps->setText(firstStepsText());
    m_firstSteps->setStyleSheet(QStringLiteral("color: #0b4f9c; font-weight: bold;"));
    m_firstSteps->setToolTip(m_firstSteps->text()); // whole, should a narrow window cut it
    m_firstSteps->hide();
    m_overdue->hide();
    m_overdue->setTextFormat(Qt::RichText);
    m_overdue->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    m_overdue->setToolTip(tr("누르면 정산 현황을 엽니다 (F9)"));
    connect(m_overdue, &QLabel::linkActivated, this, [this] {
        m_overdue->hide(); // said once
        Q_EMIT overdueClicked();
    });
    const QString folder = QFileInfo(ledgerPath).absolutePath();
    m_books->setText(tr("장부: ") + QDir::toNativeSeparators(folder));
    m_books->setToolTip(QDir::toNativeSeparators(ledgerPath));
}

QString LedgerStatusLine::firstStepsText()
{
    return tr("처음이시면: [카드정보]에서 카드사를 등록한 뒤, 맨 아래 줄 카드명 칸부터 매출을 입력하세요. (F1 도움말)");
}

void LedgerStatusLine::showLoaded(const QString& from, const QString& to, const QString& card, int entries)
{
    m_from = from;
    m_to = to;
    m_card = card.isEmpty() ? tr("전체 카드") : card;
    setEntries(entries);
}

void LedgerStatusLine::setEntries(int entries)
{
    if (m_from.isEmpty())
        return; // nothing loaded yet
    m_loaded->setText(tr("%1 ~ %2 | %3 | %4건").arg(m_from, m_to, m_card, QLocale(QLocale::Korean).toString(entries)));
}

void LedgerStatusLine::flashSaved()
{
    // A message that says more (which card a typed code chose) keeps its time.
    const QString saved = tr("저장됨");
    if (m_bar->currentMessage().isEmpty() || m_bar->currentMessage() == saved)
        m_bar->showMessage(saved, 1500);
}

QString LedgerStatusLine::nextEntryText()
{
    return tr("저장됨. 다음 새 자료의 카드명 칸입니다 (카드사결제액은 방향키나 클릭으로)");
}

void LedgerStatusLine::showNextEntry()
{
    m_bar->showMessage(nextEntryText(), 5000);
}

void LedgerStatusLine::showFirstSteps(bool noCards)
{
    // Books without a card hold no entries: the first steps get the whole
    // line, so that a longer translation is not cut off.
    m_firstSteps->setVisible(noCards);
    m_loaded->setVisible(!noCards);
    m_books->setVisible(!noCards);
}

void LedgerStatusLine::showOverdue(const QString& text)
{
    m_overdue->setText(QStringLiteral("<a href=\"settlement\" style=\"color: #c00000; font-weight: bold;\">%1</a>")
                           .arg(text.toHtmlEscaped()));
    m_overdue->setVisible(!text.isEmpty());
}
