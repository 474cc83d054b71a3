#pragma once

#include "TestSupport.h"

#include "gui/grid/SpreadGrid.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSqlQuery>

// Small steps the card window tests repeat: typing into a box, pressing a
// button, reading a grid column and the card table.
namespace CardTest {

// Types any text (Hangul included, which QTest::keyClicks cannot) key by key.
inline void typeText(QWidget* widget, const QString& text)
{
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(widget, &release);
    }
}

inline void typeInto(QWidget* window, const char* box, const QString& text)
{
    auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(box));
    QVERIFY2(edit, box);
    edit->selectAll();
    typeText(edit, text);
}

inline void press(QWidget* window, const char* button)
{
    auto* b = window->findChild<QAbstractButton*>(QString::fromLatin1(button));
    QVERIFY2(b, button);
    b->click();
}

inline QStringList column(const SpreadGrid* grid, int col)
{
    QStringList values;
    for (int row = 1; row <= grid->maxRows(); ++row)
        values << grid->text(col, row);
    return values;
}

// "code name" of every card, by code.
inline QStringList cardTable(TestEnv& env)
{
    QStringList rows;
    QSqlQuery q = env.ctx().card.newQuery();
    q.exec(QStringLiteral("SELECT code, name FROM Plastra ORDER BY code"));
    while (q.next())
        rows << q.value(0).toString() + u' ' + q.value(1).toString();
    return rows;
}

} // namespace CardTest
