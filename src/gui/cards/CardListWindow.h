#pragma once

#include "data/cards/CardStore.h"
#include "data/db/Database.h"
#include "gui/cards/PlastraSync.h"
#include "gui/cards/frmPlastra_write.h"

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class SpreadGrid;

// What the card list (frmPlastra_read) and the card picker (frmPlastra_sel)
// share: the search box, the read-only card grid with its loading and its
// updates from the card editor, the button row, the add, edit and delete
// commands with their keys, the selection routines and the anchor at which
// the card editor opens. Each window adds its own grid columns, query and
// row action.
class CardListWindow : public QDialog, public PlastraSyncTarget {
    Q_OBJECT
public:
    ~CardListWindow() override;

    virtual void Refresh_Sheet() = 0;
    void SyncUpdatePlastra(int code, bool isNew = false) override;

    QString cardDbPath() const { return m_cardDbPath; }
    bool databaseOpen() const { return mdbCard.isOpen(); }

protected:
    CardListWindow(const QString& cardDbPath, QWidget* parent);

    // The action of a double click on a data row and of Enter in the grid.
    virtual void rowAction() = 0;
    // The delete question for the selected card company.
    virtual QString deleteQuestion(const QString& name) const = 0;
    // After the grid gained or lost rows: a reload, a new card, a deleted one.
    virtual void rowCountChanged() {}

    void btnAdd_Click();
    void btnEdit_Click();
    void btnDelete_Click();

    // Code of the active row (-1 when the grid has no rows) and its name.
    int GetSelCode() const;
    QString GetSelName() const;
    bool DeleteCard(int code);

    // Opens the card database; says so when it cannot.
    bool openCardDatabase();
    // Lays out the search line, the grid and the button row: `leading` on the
    // left, the add, edit, delete and close buttons on the right.
    void buildLayout(QWidget* leading);
    void placeAnchor(double topTwips);
    // The designed card grid: code, name, fee rate and, with `widths` of four, settlement days.
    void designCardGrid(const QStringList& headers, const QList<double>& widths);
    void SetupSheet();

    // Reloads the grid with the cards `query` finds for the search text.
    using CardQuery = bool (*)(Database& db, const QString& text, QList<CardRecord>* rows, ErrorInfo* error);
    void loadCards(CardQuery query);

    QString m_cardDbPath;
    Database mdbCard;

    QLabel* SSPanel2;
    QLineEdit* txtinput;
    SpreadGrid* spList;
    QPushButton* btnAdd;
    QPushButton* btnEdit;
    QPushButton* btnDelete;
    QPushButton* btnClose;
    QLineEdit* subFormPos;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The row a stored card is written into: a new last row when `isNew`, the
    // active row otherwise; 0 when the card is gone or no row is active.
    int syncRow(int code, bool isNew, CardRecord* card);
    // Code, name, fee rate and, when the grid has the column, settlement days.
    void writeCardRow(int row, const CardRecord& card);
    void openEditor(frmPlastra_write::EditMode mode, int code);
    void spList_DblClick(int col, int row);
    void spList_KeyPress(int keyAscii);
};

// The text of a delete question, with a line about the ledger entries that
// use the card when there are any.
QString CardDeleteQuestion(const QString& question, int ledgerEntries);

// A push button that never reacts to Enter pressed elsewhere in the dialog.
QPushButton* MakeCardButton(const QString& caption, const QString& objectName, const QString& toolTip, QWidget* parent);
