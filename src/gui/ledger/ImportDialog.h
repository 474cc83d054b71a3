#pragma once

#include "data/import/ImportPlan.h"
#include "data/import/ImportRun.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QSet>

struct AppContext;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class QTableWidget;

// The plan of an import as a table: every row of the file as it will be
// stored, or why not; a duplicate's first cell is a tick box that stores it
// all the same. Any number of rows: the view asks only for what it shows.
class ImportPlanModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    // The table and profile give a refused row's cells as the file has them.
    void setPlan(ImportPlan* plan, const ImportTable* table = nullptr, const ImportProfile* profile = nullptr);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

Q_SIGNALS:
    void choiceChanged();

private:
    ImportPlan* m_plan = nullptr;
    const ImportTable* m_table = nullptr;
    const ImportProfile* m_profile = nullptr;
};

// 자료 가져오기: a card sales or settlement file (.csv, .txt, .xlsx) into the
// ledger. The file's first rows, the column of each field, the rows to skip,
// the card names mapped onto the books' cards (or new ones, registered with
// their fee rate when the import is stored), the profile to keep for the next
// file of the same shape, and the plan with its refused and duplicate rows;
// 저장 stores it (Accepted, see outcome()). A file no profile knows gets the
// columns its header names, marked as guesses until the user confirms them.
class ImportDialog : public QDialog {
    Q_OBJECT
public:
    ImportDialog(AppContext& ctx, const QString& file, QWidget* parent = nullptr);

    const ImportOutcome& outcome() const { return m_outcome; }
    // For the window's tests and its drop: the file shown (empty: none yet).
    bool openFile(const QString& file);
    const ImportPlan& plan() const { return m_plan; }
    QComboBox* columnBox(int field) const { return m_columns.value(field); }
    QSpinBox* skipBox() const { return m_skip; }
    QCheckBox* skipTotalsBox() const { return m_skipTotals; }
    QCheckBox* mergeBox() const { return m_merge; }
    // The fields whose column is a guess not yet confirmed.
    const QList<int>& guessed() const { return m_guessed; }
    QTableWidget* cardMap() const { return m_cardMap; }
    QLineEdit* profileName() const { return m_profileName; }
    QString summaryText() const;

    void chooseFile();
    void saveProfile();
    void store();

private:
    void buildControls();
    QWidget* buildColumnsBox();
    void showProfile();
    void readControls();
    void replan();
    void fillPreview();
    void fillColumnBoxes();
    void fillCardMap();
    bool registerNewCards(QMap<int, int>* codes);
    void mapCard(const QString& name, int choice);
    int mappedCard(const QString& fileName) const; // the books' card a profile line maps to, 0 when none
    void updateSummary();

    AppContext& m_ctx;
    QString m_file;
    ImportTable m_table;
    ImportProfile m_profile;
    ImportPlan m_plan;
    ImportOutcome m_outcome;
    QMap<int, QString> m_cardNames; // the books' cards by code
    QStringList m_newCards;         // card names of the file to register on storing
    QList<double> m_newCardFees;    // their fee rates
    QList<int> m_guessed;
    bool m_filling = false;

    QLineEdit* m_fileEdit;
    QLabel* m_format;
    QComboBox* m_sheet;
    QComboBox* m_profiles;
    QLineEdit* m_profileName;
    QSpinBox* m_skip;
    QCheckBox* m_skipTotals;
    QCheckBox* m_merge;
    QLabel* m_guessNote;
    QList<QComboBox*> m_columns; // date, card, slips, sale, fee, payout
    QTableWidget* m_preview;
    QTableWidget* m_cardMap;
    QTableView* m_planView;
    ImportPlanModel* m_model;
    QLabel* m_summary;
    QLabel* m_warnings; // the profile's card lines in the older form
    QPushButton* m_store;
};
