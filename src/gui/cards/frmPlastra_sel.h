#pragma once

#include "gui/cards/CardListWindow.h"

// The card picker: lets the user choose one card company by part of its name
// or by its code and hands the choice back as `result` (the code, one
// QChar(0), the name). The object owns its connection from creation to
// destruction, so the window part can close and `result` stays readable.
class frmPlastra_sel : public CardListWindow {
    Q_OBJECT
public:
    // Opens the picker's own connection on the card database file.
    explicit frmPlastra_sel(const QString& cardDbPath, QWidget* parent = nullptr);

    // Lists the card companies matching `text` and returns how many there
    // are; with exactly one, `result` holds it already.
    int FindRecords(const QString& text);
    QString result() const { return m_result; }

    void Refresh_Sheet() override;

protected:
    void rowAction() override;
    QString deleteQuestion(const QString& name) const override;
    void showEvent(QShowEvent* event) override;

private:
    void btnSel_Click();

    QPushButton* btnSel;
    QString m_result;
};
