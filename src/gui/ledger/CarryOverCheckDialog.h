#pragma once

#include "data/ledger/LedgerStore.h"

#include <QDialog>
#include <QHash>

class Database;
class QLabel;
class QPushButton;
class SpreadGrid;

// What the carry-over check found, one line per disagreeing month-end row or
// uncovered card, with the offer to rebuild the table. Accepted = rebuild.
class CarryOverCheckDialog : public QDialog {
    Q_OBJECT
public:
    CarryOverCheckDialog(const CarryOverCheck& check, Database& card, QWidget* parent = nullptr);

    SpreadGrid* findings() const { return spCheck; }
    // The summary line above the list.
    static QString SummaryText(const CarryOverCheck& check);

private:
    void DesignFindings();
    void FillFindings(const CarryOverCheck& check, const QHash<int, QString>& names);

    SpreadGrid* spCheck;
    QLabel* lblSummary;
    QPushButton* btnReBaln;
    QPushButton* btnClose;
};
