#pragma once

#include "data/db/Database.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class NumericEdit;
class PlastraSyncTarget;

// The card editor: registers a new card company or changes an existing one.
// Always shown modally by the card list, the card picker or SearchCard. The
// object outlives its window: callers read CCode and CName after it closed.
class frmPlastra_write : public QDialog {
    Q_OBJECT
public:
    // Opens the editor's own connection on the card database file.
    explicit frmPlastra_write(const QString& cardDbPath, QWidget* parent = nullptr);
    ~frmPlastra_write() override;

    // A new card ("신규 카드 등록") or a change of a stored one ("기존 카드 수정").
    enum class EditMode { None = 0, Add = 1, Change = 2 };
    void setMode(EditMode mode);
    EditMode editMode() const { return m_mode; }
    // The mode as its number: 1 Add, 2 Change, 0 not set.
    void setMode(int mode) { setMode(static_cast<EditMode>(mode)); }
    int Mode() const { return int(m_mode); }
    // Edit entry point: hides and clears the continue box and loads the card.
    void setCCode(int code);
    // Code and name of the card stored last (0 and empty until a store succeeds).
    int CCode() const { return m_cCode; }
    QString CName() const { return m_cName; }
    // The window told about every stored card (may be null).
    void setCallForm(PlastraSyncTarget* form) { m_callForm = form; }
    // Ticks or clears the continue box (the add commands of the list windows tick it).
    void setContinueAdd(bool on);
    bool continueAdd() const;
    // New-card preset: hides and clears the continue box and presets the name.
    void setDefaultName(const QString& name);

    // The code of the card in the inputs (-1 for a new, unstored card).
    int currentCode() const { return mnCode; }
    bool databaseOpen() const { return mdbCard.isOpen(); }

    static QString HelpText();
    // Said beside the rate box when it refuses a key.
    static QString FeeHint();

public Q_SLOTS:
    void done(int r) override;

private:
    void createControls();
    void layOutControls();
    void connectEnterKeys();
    void btnSave_Click();
    void cmdHelp_Click();
    void SetMaxLengths();
    void ClearInputs();
    void LoadCard(int code);
    bool SaveCard(bool isNew);
    bool readFee(double* fee); // false when the box holds no rate (said, focus on the box)

    QString m_cardDbPath;
    Database mdbCard;
    EditMode m_mode = EditMode::None;
    int m_cCode = 0;
    QString m_cName;
    int mnCode = -1;
    PlastraSyncTarget* m_callForm = nullptr;

    QLabel* lblName;
    QLineEdit* txtName;
    QLabel* lblFee;
    NumericEdit* txtFee;
    QLabel* lblFeeUnit;
    QLabel* lblFeeHint;
    QLabel* lblSetDay;
    NumericEdit* txtSetDay;
    QPushButton* cmdHelp;
    QCheckBox* ChkContinueAdd;
    QPushButton* btnSave;
    QPushButton* btnClose;
};
