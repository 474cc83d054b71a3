#pragma once

#include "gui/cards/CardListWindow.h"

class QLabel;

// The card list: the maintenance window of the card-company master. Lists
// every card company (filtered by part of a name), adds and edits them through
// the card editor and deletes them. Opened modally by the ledger window.
class frmPlastra_read : public CardListWindow {
    Q_OBJECT
public:
    // Opens the window's own connection on the card database file.
    explicit frmPlastra_read(const QString& cardDbPath, QWidget* parent = nullptr);

    void Refresh_Sheet() override;

    // "등록수:" and the row count right-aligned in five characters.
    static QString RecordCountText(int count);

public Q_SLOTS:
    void done(int r) override;

protected:
    void rowAction() override;
    QString deleteQuestion(const QString& name) const override;
    void rowCountChanged() override;

private:
    void ShowRecordCount();

    QLabel* lblRecCnt;
};
