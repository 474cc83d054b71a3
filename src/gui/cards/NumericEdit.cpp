#include "gui/cards/NumericEdit.h"

#include <QLocale>
#include <QRegularExpressionValidator>

NumericEdit::NumericEdit(int decimals, bool grouping, QWidget* parent)
    : QLineEdit(parent), m_decimals(qMax(0, decimals)), m_grouping(grouping)
{
    // Separators are allowed while typing so that a shown number stays editable.
    const QString pattern = m_decimals > 0 ? QStringLiteral("[0-9,]{0,15}(\\.[0-9]{0,%1})?").arg(m_decimals)
                                           : QStringLiteral("[0-9,]{0,15}");
    setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), this));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(this, &QLineEdit::editingFinished, this, &NumericEdit::reformat);
}

void NumericEdit::setNumberText(const QString& text)
{
    setText(text);
    reformat();
}

QString NumericEdit::plainText() const
{
    QString t = text();
    t.remove(u',');
    return t.trimmed();
}

void NumericEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    reformat();
}

void NumericEdit::reformat()
{
    const QString plain = plainText();
    if (plain.isEmpty())
        return;
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok)
        return;
    QLocale locale(QLocale::English, QLocale::UnitedStates);
    if (!m_grouping)
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const QString shown = locale.toString(value, 'f', m_decimals);
    if (shown != text())
        setText(shown);
}
