#pragma once

#include <QLineEdit>

// A text box for numbers: only digits (and a decimal point when it has
// decimal places) can be typed; when editing ends the number is shown with its
// decimal places and, when asked for, digit grouping ("1,234.50"). Whatever it
// shows, plainText() hands over the plain number ("1234.5" stays "1234.50"
// without separators), so that reading its leading number never stops at a
// separator.
class NumericEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit NumericEdit(int decimals, bool grouping, QWidget* parent = nullptr);

    int decimals() const { return m_decimals; }
    // Shows a number given as plain text; a text that is no number is shown as it is.
    void setNumberText(const QString& text);
    // The text without grouping separators.
    QString plainText() const;

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void reformat();

    int m_decimals;
    bool m_grouping;
};
