#include "gui/ledger/ImportDialog.h"

#include "data/books/AppContext.h"
#include "data/cards/CardStore.h"
#include "gui/ledger/BackupDialog.h"
#include "gui/toolkit/Messages.h"
#include "gui/toolkit/ModalRun.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
using Status = ImportRow::Status;

int ImportProfile::*const kFields[] = {&ImportProfile::dateCol, &ImportProfile::cardCol, &ImportProfile::slipsCol,
                                       &ImportProfile::saleCol, &ImportProfile::feeCol,  &ImportProfile::payoutCol};
constexpr int kPreviewRows = 30;
constexpr int kNewCard = -2; // the card map's choice "register as a new card"
} // namespace

void ImportPlanModel::setPlan(ImportPlan* plan, const ImportTable* table, const ImportProfile* profile)
{
    beginResetModel();
    m_plan = plan;
    m_table = table;
    m_profile = profile;
    endResetModel();
}

int ImportPlanModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_plan ? 0 : int(m_plan->rows.size());
}

int ImportPlanModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 9;
}

QVariant ImportPlanModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    const QStringList titles{tr("행"),     tr("처리"),   tr("일자"),         tr("카드명"), tr("건수"),
                             tr("매출액"), tr("수수료"), tr("카드사결제액"), tr("사유")};
    return titles.value(section);
}

QVariant ImportPlanModel::data(const QModelIndex& index, int role) const
{
    if (!m_plan || !index.isValid())
        return {};
    const ImportRow& r = m_plan->rows[index.row()];
    if (role == Qt::CheckStateRole && index.column() == 0 && r.status == Status::Duplicate)
        return r.chosen ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::TextAlignmentRole && index.column() >= 4 && index.column() <= 7)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    const bool fields = r.status == Status::Ready || r.status == Status::Duplicate;
    // A refused row shows the file's own cells: what was not taken, and why.
    if (r.status == Status::Refused && m_table && m_profile && index.column() >= 2 && index.column() <= 7) {
        const int cols[] = {m_profile->dateCol, m_profile->cardCol, m_profile->slipsCol,
                            m_profile->saleCol, m_profile->feeCol,  m_profile->payoutCol};
        return m_table->cell(r.line - 1, cols[index.column() - 2]).trimmed().left(40);
    }
    switch (index.column()) {
    case 0:
        return r.line;
    case 1:
        return r.stored()                      ? tr("저장")
               : r.status == Status::Duplicate ? tr("중복")
               : r.status == Status::Refused   ? tr("거부")
               : r.status == Status::Merged    ? tr("합침")
                                               : tr("건너뜀");
    case 2:
        return r.date;
    case 3:
        return r.cardName.isEmpty() ? r.cardText : r.cardName;
    case 4:
        return r.slips;
    case 5:
        return fields ? r.sale.toDisplayString(0) : QString();
    case 6:
        return fields ? r.fee.toDisplayString(0) : QString();
    case 7:
        return fields ? r.payout.toDisplayString(0) : QString();
    default:
        return r.reason;
    }
}

Qt::ItemFlags ImportPlanModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (m_plan && index.column() == 0 && m_plan->rows[index.row()].status == Status::Duplicate)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

bool ImportPlanModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_plan || role != Qt::CheckStateRole || index.column() != 0 ||
        m_plan->rows[index.row()].status != Status::Duplicate)
        return false;
    m_plan->rows[index.row()].chosen = value.toInt() == Qt::Checked;
    Q_EMIT dataChanged(index, this->index(index.row(), 1));
    Q_EMIT choiceChanged();
    return true;
}

ImportDialog::ImportDialog(AppContext& ctx, const QString& file, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("ImportDialog"));
    setWindowTitle(tr("자료 가져오기"));
    buildControls();
    resize(980, 720);
    if (!file.isEmpty())
        openFile(file);
    else
        updateSummary();
}

void ImportDialog::buildControls()
{
    m_fileEdit = new QLineEdit(this);
    m_fileEdit->setReadOnly(true);
    auto* browse = new QPushButton(tr("파일 선택..."), this);
    m_sheet = new QComboBox(this);
    m_format = new QLabel(this);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(tr("파일"), this));
    fileRow->addWidget(m_fileEdit, 1);
    fileRow->addWidget(browse);
    fileRow->addWidget(new QLabel(tr("시트"), this));
    fileRow->addWidget(m_sheet);

    m_preview = new QTableWidget(this);
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_cardMap = new QTableWidget(0, 2, this);
    m_cardMap->setHorizontalHeaderLabels({tr("파일의 카드명"), tr("장부의 카드")});
    m_cardMap->horizontalHeader()->setStretchLastSection(true);
    m_model = new ImportPlanModel(this);
    m_planView = new QTableView(this);
    m_planView->setModel(m_model);
    m_planView->horizontalHeader()->setStretchLastSection(true);
    m_planView->verticalHeader()->hide();
    m_summary = new QLabel(this);
    m_warnings = new QLabel(this);
    m_warnings->setObjectName(QStringLiteral("lblWarnings"));
    m_warnings->setWordWrap(true);
    m_warnings->setStyleSheet(QStringLiteral("color: #a05000"));
    m_warnings->hide();
    m_store = new QPushButton(tr("저장"), this);
    auto* close = new QPushButton(tr("닫기"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_summary, 1);
    buttons->addWidget(m_store);
    buttons->addWidget(close);

    auto* middle = new QHBoxLayout;
    middle->addWidget(buildColumnsBox());
    middle->addWidget(m_cardMap, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addWidget(m_format);
    layout->addWidget(m_preview, 2);
    layout->addLayout(middle, 2);
    layout->addWidget(new QLabel(tr("가져올 자료 (중복은 체크하면 저장합니다)"), this));
    layout->addWidget(m_planView, 3);
    layout->addWidget(m_warnings);
    layout->addLayout(buttons);

    connect(browse, &QPushButton::clicked, this, &ImportDialog::chooseFile);
    connect(m_sheet, &QComboBox::activated, this, [this] {
        m_profile.sheet = m_sheet->currentText();
        openFile(m_file);
    });
    connect(m_model, &ImportPlanModel::choiceChanged, this, &ImportDialog::updateSummary);
    connect(m_store, &QPushButton::clicked, this, &ImportDialog::store);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

QWidget* ImportDialog::buildColumnsBox()
{
    auto* box = new QGroupBox(tr("열 선택"), this);
    auto* form = new QFormLayout(box);
    m_profiles = new QComboBox(box);
    m_profileName = new QLineEdit(box);
    auto* save = new QPushButton(tr("프로필 저장"), box);
    m_skip = new QSpinBox(box);
    m_skip->setRange(0, 1000);
    m_skipTotals = new QCheckBox(tr("합계·소계 행 건너뛰기"), box);
    m_skipTotals->setToolTip(tr("일자 없는 행과 일자나 카드명 칸에 합계, 소계가 적힌 행을 가져오지 않습니다"));
    m_merge = new QCheckBox(tr("하루·카드사별로 합치기"), box);
    m_merge->setToolTip(tr("건별 매출 파일을 하루, 카드사마다 한 자료로 저장합니다 (건수: 매출 건수)"));
    m_guessNote = new QLabel(tr("노란 칸의 열은 머리글로 짐작했습니다. 맞는지 확인하세요."), box);
    m_guessNote->setWordWrap(true);
    m_guessNote->setStyleSheet(QStringLiteral("color: #a05000"));
    m_guessNote->hide();
    form->addRow(tr("프로필"), m_profiles);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_profileName, 1);
    nameRow->addWidget(save);
    form->addRow(tr("프로필 이름"), nameRow);
    form->addRow(tr("위에서 건너뛸 행"), m_skip);
    form->addRow(m_skipTotals);
    form->addRow(m_merge);
    form->addRow(m_guessNote);
    const QStringList labels{tr("일자"), tr("카드명"), tr("건수"), tr("매출액"), tr("수수료"), tr("카드사결제액")};
    for (const QString& label : labels) {
        auto* combo = new QComboBox(box);
        m_columns.append(combo);
        form->addRow(label, combo);
        connect(combo, &QComboBox::activated, this, [this, combo] {
            // Chosen by the user: no longer a guess.
            m_guessed.removeAll(int(m_columns.indexOf(combo)));
            combo->setStyleSheet(QString());
            m_guessNote->setVisible(!m_guessed.isEmpty());
            readControls();
            replan();
        });
    }
    for (QCheckBox* check : {m_skipTotals, m_merge})
        connect(check, &QCheckBox::toggled, this, [this] {
            readControls();
            replan();
        });
    connect(m_skip, &QSpinBox::valueChanged, this, [this] {
        if (m_filling)
            return;
        readControls();
        fillColumnBoxes(); // the labels follow the header row, which is the last one skipped
        fillPreview();
        replan();
    });
    connect(m_profiles, &QComboBox::activated, this, [this](int index) {
        ImportProfile p;
        if (index > 0 && ImportProfiles::Find(m_profiles->itemData(index).toString(), &p, nullptr)) {
            m_profile = p;
            showProfile();
            replan();
        }
    });
    connect(save, &QPushButton::clicked, this, &ImportDialog::saveProfile);
    return box;
}

bool ImportDialog::openFile(const QString& file)
{
    ErrorInfo e;
    ImportTable table;
    if (!ReadImportFile(file, &table, &e, m_file == file ? m_profile.sheet : QString())) {
        ShowError(e);
        return false;
    }
    const bool sameFile = m_file == file;
    m_file = file;
    m_table = table;
    if (!sameFile) {
        m_guessed.clear();
        m_newCards.clear();
        m_newCardFees.clear();
    }
    if (!sameFile && !ImportProfiles::Recognize(m_table, &m_profile)) {
        m_profile = ImportProfile();
        m_profile.skipRows = 1;
        m_profile.name = QFileInfo(file).completeBaseName();
        m_guessed = ImportProfiles::Guess(m_table, &m_profile);
    }
    m_profile.sheet = m_table.sheet;
    m_fileEdit->setText(QDir::toNativeSeparators(file));
    m_format->setText(m_table.format);
    m_filling = true;
    m_sheet->clear();
    m_sheet->addItems(m_table.sheets);
    m_sheet->setCurrentText(m_table.sheet);
    m_sheet->setEnabled(m_table.sheets.size() > 1);
    m_filling = false;
    showProfile();
    replan();
    return true;
}

void ImportDialog::chooseFile()
{
    const QString file = QFileDialog::getOpenFileName(this, tr("가져올 파일"), QString(),
                                                      tr("카드 매출 파일 (*.csv *.txt *.xlsx);;모든 파일 (*)"));
    if (!file.isEmpty())
        openFile(file);
}

// The profile into the controls: profile list, name, rows to skip, columns.
void ImportDialog::showProfile()
{
    m_filling = true;
    m_profiles->clear();
    m_profiles->addItem(tr("(프로필 선택)"));
    for (const ImportProfile& p : ImportProfiles::List())
        m_profiles->addItem(p.name, ImportProfiles::FileFor(p.name));
    m_profileName->setText(m_profile.name);
    m_skip->setValue(m_profile.skipRows);
    m_skipTotals->setChecked(m_profile.skipUndated);
    m_merge->setChecked(m_profile.mergeDayCard);
    m_filling = false;
    fillColumnBoxes();
    fillPreview();
}

// Each field's column choices, labelled with the header row's cells; a guessed column is marked.
void ImportDialog::fillColumnBoxes()
{
    const bool filling = std::exchange(m_filling, true);
    const QStringList header = ImportProfiles::HeaderAt(m_table, m_profile.skipRows);
    for (int f = 0; f < m_columns.size(); ++f) {
        QComboBox* combo = m_columns[f];
        combo->clear();
        combo->addItem(tr("(없음)"), -1);
        for (int c = 0; c < m_table.columnCount(); ++c)
            combo->addItem(tr("%1열 %2").arg(c + 1).arg(header.value(c).left(20)), c);
        combo->setCurrentIndex(std::max(0, combo->findData(m_profile.*kFields[f])));
        combo->setStyleSheet(m_guessed.contains(f) ? QStringLiteral("QComboBox { background: #fff3b0; }") : QString());
    }
    m_guessNote->setVisible(!m_guessed.isEmpty());
    m_filling = filling;
}

void ImportDialog::readControls()
{
    if (m_filling)
        return;
    m_profile.skipRows = m_skip->value();
    m_profile.skipUndated = m_skipTotals->isChecked();
    m_profile.mergeDayCard = m_merge->isChecked();
    m_profile.header = ImportProfiles::HeaderAt(m_table, m_profile.skipRows);
    for (int f = 0; f < m_columns.size(); ++f)
        m_profile.*kFields[f] = m_columns[f]->currentData().toInt();
}

void ImportDialog::fillPreview()
{
    const int rows = int(std::min<qsizetype>(m_table.rows.size(), kPreviewRows));
    m_preview->clear();
    m_preview->setRowCount(rows);
    m_preview->setColumnCount(std::min(m_table.columnCount(), 60));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < m_preview->columnCount(); ++c) {
            auto* item = new QTableWidgetItem(m_table.cell(r, c).left(60));
            // The rows skipped at the top are greyed.
            if (r < m_skip->value())
                item->setForeground(Qt::gray);
            m_preview->setItem(r, c, item);
        }
    }
}

void ImportDialog::replan()
{
    if (m_filling)
        return;
    QSet<int> chosen; // the duplicates ticked so far stay ticked
    for (const ImportRow& r : std::as_const(m_plan.rows))
        if (r.chosen)
            chosen.insert(r.line);
    ErrorInfo e;
    QMap<QString, int> byName;
    m_cardNames.clear();
    ImportPlan plan;
    if (!ImportPlanner::ReadCards(m_ctx.ledger, &byName, &m_cardNames, &e) ||
        (m_profile.usable() && !ImportPlanner::Build(m_ctx.ledger, m_table, m_profile, &plan, &e, m_newCards)))
        ShowError(e);
    for (ImportRow& r : plan.rows)
        r.chosen = r.status == Status::Duplicate && chosen.contains(r.line);
    m_plan = plan;
    m_model->setPlan(&m_plan, &m_table, &m_profile);
    fillCardMap();
    updateSummary();
}

// One line per card name of the file that the profile maps or no card of the books has.
void ImportDialog::fillCardMap()
{
    QStringList names = m_profile.cards.keys();
    for (const QString& n : m_plan.unknownCards() + m_newCards)
        if (!names.contains(n))
            names.append(n);
    m_cardMap->setRowCount(0); // the old boxes go (one of them may be the one just chosen in)
    m_cardMap->setRowCount(int(names.size()));
    for (int r = 0; r < names.size(); ++r) {
        m_cardMap->setItem(r, 0, new QTableWidgetItem(names[r]));
        auto* combo = new QComboBox(m_cardMap);
        combo->addItem(tr("(선택하세요)"), 0);
        combo->addItem(tr("새 카드로 등록"), kNewCard);
        for (auto it = m_cardNames.cbegin(); it != m_cardNames.cend(); ++it)
            combo->addItem(QStringLiteral("%1 %2").arg(it.key()).arg(it.value()), it.key());
        combo->setCurrentIndex(
            std::max(0, combo->findData(m_newCards.contains(names[r]) ? kNewCard : mappedCard(names[r]))));
        const QString name = names[r];
        connect(combo, &QComboBox::activated, this,
                [this, name, combo] { mapCard(name, combo->currentData().toInt()); });
        m_cardMap->setCellWidget(r, 1, combo);
    }
}

void ImportDialog::mapCard(const QString& name, int choice)
{
    const qsizetype pending = m_newCards.indexOf(name);
    if (pending >= 0) {
        m_newCards.removeAt(pending);
        m_newCardFees.removeAt(pending);
    }
    if (choice == kNewCard) {
        // Registered only when the import is stored; its fee rate now, as 신규 카드 등록 asks it.
        QInputDialog ask(this);
        ask.setObjectName(QStringLiteral("NewCardFeeDialog"));
        ask.setWindowTitle(tr("새 카드로 등록"));
        ask.setLabelText(tr("%1의 수수료율(%)을 입력하세요.\n카드사는 가져온 자료를 저장할 때 등록합니다.").arg(name));
        ask.setInputMode(QInputDialog::DoubleInput);
        ask.setDoubleRange(0, 100);
        ask.setDoubleDecimals(2);
        ask.setDoubleValue(0);
        if (ExecModal(&ask) != QDialog::Accepted) {
            fillCardMap();
            return;
        }
        m_profile.cards.remove(name);
        m_newCards.append(name);
        m_newCardFees.append(ask.doubleValue());
    } else if (choice > 0) {
        // The profile keeps the card's name: codes differ from one set of books to another.
        m_profile.cards.insert(name, m_cardNames.value(choice, name));
    } else {
        m_profile.cards.remove(name);
    }
    replan();
}

// The new card companies the stored rows use, registered with their fee rates:
// the plan's placeholder code -> the code given. False (and nothing left
// registered) when one cannot be.
bool ImportDialog::registerNewCards(QMap<int, int>* codes)
{
    for (const ImportRow& r : std::as_const(m_plan.rows)) {
        if (!r.stored() || r.card > 0 || codes->contains(r.card))
            continue;
        const qsizetype i = kNewCardCode - r.card;
        CardRecord card;
        card.name = m_newCards.value(i);
        card.fee = m_newCardFees.value(i);
        card.setday = 0;
        int code = 0;
        ErrorInfo e;
        if (!CardStore::Save(m_ctx.card, card, &code, &e)) {
            for (const int made : std::as_const(*codes))
                CardStore::Delete(m_ctx.card, made, nullptr);
            MsgError(tr("카드사를 등록하지 못해 가져오지 않았습니다: %1").arg(card.name), e);
            return false;
        }
        codes->insert(r.card, code);
    }
    return true;
}

int ImportDialog::mappedCard(const QString& fileName) const
{
    for (const ImportCardMatch& m : m_plan.cardMatches)
        if (m.fileName == fileName)
            return m.card;
    return 0;
}

QString ImportDialog::summaryText() const
{
    return ImportRun::SummaryLine(m_plan.counts(), false);
}

void ImportDialog::updateSummary()
{
    m_summary->setText(m_profile.usable() ? summaryText() : tr("일자와 카드명 열을 고르세요."));
    const QStringList warnings = m_plan.warnings();
    m_warnings->setText(warnings.join(QLatin1Char('\n')));
    m_warnings->setVisible(!warnings.isEmpty());
    m_store->setEnabled(m_plan.counts().ready > 0);
}

void ImportDialog::saveProfile()
{
    const QString name = m_profileName->text().trimmed();
    if (name.isEmpty()) {
        MsgWarn(tr("프로필 이름을 입력하세요."));
        return;
    }
    readControls();
    m_profile.name = name;
    ErrorInfo e;
    if (!m_profile.usable()) {
        MsgWarn(tr("일자와 카드명 열을 고른 뒤 저장하세요."));
        return;
    }
    // The card companies still to be registered are mapped by the name they will have.
    ImportProfile saved = m_profile;
    for (const QString& fresh : std::as_const(m_newCards))
        saved.cards.insert(fresh, fresh);
    if (!ImportProfiles::Save(ImportProfiles::FileFor(name), saved, &e)) {
        ShowError(e);
        return;
    }
    if (m_profiles->findText(name) < 0)
        m_profiles->addItem(name, ImportProfiles::FileFor(name));
    MsgInfo(tr("프로필을 저장했습니다: %1").arg(QDir::toNativeSeparators(ImportProfiles::FileFor(name))));
}

void ImportDialog::store()
{
    const ImportCounts counts = m_plan.counts();
    if (counts.ready == 0)
        return;
    if (counts.refused > 0 &&
        MsgQuestion(tr("거부된 %1행은 빼고 나머지 %2행을 저장할까요?").arg(counts.refused).arg(counts.ready)) !=
            MsgAnswer::Yes)
        return;
    if (!m_guessed.isEmpty()) {
        QStringList columns;
        const QStringList labels{tr("일자"), tr("카드명"), tr("건수"), tr("매출액"), tr("수수료"), tr("카드사결제액")};
        for (const int f : std::as_const(m_guessed))
            columns << tr("%1: %2").arg(labels.value(f), m_columns[f]->currentText());
        if (MsgQuestion(tr("머리글로 짐작한 열로 저장할까요?\n\n%1").arg(columns.join(QLatin1Char('\n'))),
                        tr("자료 가져오기"), false) != MsgAnswer::Yes)
            return;
        m_guessed.clear();
        fillColumnBoxes();
    }
    QMap<int, int> codes;
    if (!registerNewCards(&codes))
        return;
    ImportPlan plan = m_plan;
    for (ImportRow& r : plan.rows)
        r.card = codes.value(r.card, r.card);
    ErrorInfo e;
    if (!ImportRun::Store(m_ctx.ledger, BooksFolder(m_ctx), plan, m_file, &m_outcome, &e)) {
        for (const int made : std::as_const(codes))
            CardStore::Delete(m_ctx.card, made, nullptr);
        MsgError(tr("가져오지 못했습니다. 원장은 그대로입니다."), e);
        return;
    }
    for (auto it = codes.cbegin(); it != codes.cend(); ++it)
        m_profile.cards.insert(m_newCards.value(kNewCardCode - it.key()), m_newCards.value(kNewCardCode - it.key()));
    accept();
}
