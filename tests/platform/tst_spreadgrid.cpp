#include "gui/grid/SpreadGrid.h"
#include "gui/grid/SpreadModel.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

class tst_SpreadGrid : public QObject {
    Q_OBJECT

private:
    // A shown grid of `cols` x `rows` with the first cell active.
    std::unique_ptr<SpreadGrid> makeGrid(int cols, int rows)
    {
        auto g = std::make_unique<SpreadGrid>();
        g->setMaxCols(cols);
        g->setMaxRows(rows);
        g->resize(800, 400);
        g->show();
        g->setFocus();
        g->setActiveCell(1, 1);
        return g;
    }

    QPoint cellCenter(SpreadGrid* g, int col, int row)
    {
        return g->visualRect(g->model()->index(row - 1, col - 1)).center();
    }

private Q_SLOTS:
    void addressingAndValues()
    {
        SpreadGrid g;
        g.setMaxCols(3);
        g.setMaxRows(4);
        QCOMPARE(g.maxCols(), 3);
        QCOMPARE(g.model()->rowCount(), 4);
        QString v = QStringLiteral("x");
        QVERIFY(!g.getText(1, 1, &v));
        QCOMPARE(v, QString());
        g.setText(2, 3, QStringLiteral("1234.5"));
        g.setText(1, 1, QStringLiteral("007"));
        g.setText(3, 4, QStringLiteral("카드"));
        QVERIFY(g.getText(2, 3, &v));
        QCOMPARE(v, QStringLiteral("1234.5"));
        QCOMPARE(g.text(1, 1), QStringLiteral("007")); // not taken for the number 7
        QCOMPARE(g.text(3, 4), QStringLiteral("카드"));
        // Header rows: 0 and -1000 are the same first header row.
        g.setText(2, 0, QStringLiteral("일자"));
        QCOMPARE(g.text(2, -1000), QStringLiteral("일자"));
        QCOMPARE(g.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("일자"));
        g.setColHeaderRows(2);
        g.setText(2, -999, QStringLiteral("둘째"));
        QCOMPARE(g.headerText(2, 1), QStringLiteral("둘째"));
        // -1: all rows of a column.
        g.setText(2, -1, QStringLiteral("5"));
        for (int r = 1; r <= 4; ++r)
            QCOMPARE(g.text(2, r), QStringLiteral("5"));
        g.setText(2, -1, QString());
        QCOMPARE(g.dataRowCnt(), 4);
        g.setText(3, 4, QString());
        QCOMPARE(g.dataRowCnt(), 1);
        g.setMaxRows(0);
        QCOMPARE(g.dataRowCnt(), 0);
        QCOMPARE(g.text(1, 1), QString());
        g.setMaxRows(2);
        QCOMPARE(g.text(1, 1), QString()); // growing adds empty rows
    }

    void columnSwitchesToTextStorage()
    {
        SpreadGrid g;
        g.setMaxCols(1);
        g.setMaxRows(3000);
        for (int r = 1; r <= 3000; ++r)
            g.setText(1, r,
                      r % 2 ? QStringLiteral("2005-06-%1").arg(r % 28 + 1, 2, 10, QLatin1Char('0'))
                            : QString::number(r));
        for (int r = 1; r <= 3000; r += 37)
            QCOMPARE(g.text(1, r), r % 2 ? QStringLiteral("2005-06-%1").arg(r % 28 + 1, 2, 10, QLatin1Char('0'))
                                         : QString::number(r));
        g.deleteRows(1, 1);
        QCOMPARE(g.text(1, 1), QStringLiteral("2"));
        QCOMPARE(g.text(1, 3000), QString());
    }

    void numberReadsWhatTheTextSays()
    {
        SpreadGrid g;
        g.setMaxCols(2);
        g.setMaxRows(4);
        g.setText(1, 1, QStringLiteral("1234.5"));
        g.setText(1, 2, QStringLiteral("-0.0001"));
        g.setText(1, 3, QStringLiteral("12abc"));
        QCOMPARE(g.number(1, 1), std::optional<Money>(Money::fromUnits(12345000)));
        QCOMPARE(g.number(1, 2), std::optional<Money>(Money::fromUnits(-1)));
        QVERIFY(!g.number(1, 3)); // not a plain number
        QVERIFY(!g.number(1, 4)); // empty
        QVERIFY(!g.number(2, 1)); // a column never written
        QVERIFY(!g.number(1, 5)); // beyond the rows
        // A column holding texts answers the same as one holding numbers.
        g.setText(2, 1, QStringLiteral("2005-06-01"));
        g.setText(2, 2, QStringLiteral("77"));
        QCOMPARE(g.number(2, 2), std::optional<Money>(Money::fromWon(77)));
        QVERIFY(!g.number(2, 1));
        for (int r = 1; r <= 4; ++r)
            for (int c = 1; c <= 2; ++c)
                QCOMPARE(g.number(c, r), Money::parse(g.text(c, r)));
    }

    void severalFormulasFollowEdits()
    {
        SpreadGrid g;
        g.setMaxCols(13);
        g.setMaxRows(5);
        for (int c = 10; c <= 13; ++c)
            g.setFormula(c, 1, QStringLiteral("SUM(R1C%1:R5C%1)").arg(c - 5));
        g.setText(5, 2, QStringLiteral("3"));
        g.setText(6, 2, QStringLiteral("1000"));
        g.setText(7, 3, QStringLiteral("30"));
        g.setText(8, 4, QStringLiteral("500"));
        g.setText(9, 4, QStringLiteral("470")); // no formula sums column 9
        QCOMPARE(g.text(10, 1), QStringLiteral("3"));
        QCOMPARE(g.text(11, 1), QStringLiteral("1000"));
        QCOMPARE(g.text(12, 1), QStringLiteral("30"));
        QCOMPARE(g.text(13, 1), QStringLiteral("500"));
        g.setFormula(11, 1, QString());
        g.setText(6, 3, QStringLiteral("1"));
        QCOMPARE(g.text(11, 1), QStringLiteral("1000")); // cleared formulas stay as they were
        g.setText(8, 5, QStringLiteral("-500"));
        QCOMPARE(g.text(13, 1), QStringLiteral("0"));
    }

    void valueNotificationsHonourBlockedSignals()
    {
        SpreadGrid g;
        g.setMaxCols(10);
        g.setMaxRows(3);
        g.setFormula(10, 1, QStringLiteral("SUM(R1C6:R3C6)"));
        QSignalSpy gridSpy(&g, &SpreadGrid::valueChanged);
        QSignalSpy modelSpy(g.spreadModel(), &SpreadModel::cellValueChanged);
        {
            const QSignalBlocker quiet(&g);
            g.setText(6, 2, QStringLiteral("5"));
        }
        QCOMPARE(gridSpy.count(), 0);
        QCOMPARE(modelSpy.count(), 2); // the cell and the sum
        QCOMPARE(g.text(10, 1), QStringLiteral("5"));
        g.setText(6, 3, QStringLiteral("7"));
        QCOMPARE(gridSpy.count(), 2);
        QCOMPARE(gridSpy.at(0).at(0).toInt(), 6);
        QCOMPARE(gridSpy.at(1).at(0).toInt(), 10);
        QCOMPARE(modelSpy.count(), 4);
    }

    void numberFormats()
    {
        SpreadGrid g;
        g.setMaxCols(2);
        g.setMaxRows(2);
        SpreadGrid::NumberFormat f;
        f.decimals = 0;
        f.separators = true;
        g.setCellType(1, -1, SpreadGrid::CellType::Currency, f);
        g.setText(1, 1, QStringLiteral("1234567.5"));
        g.setText(1, 2, QStringLiteral("abc"));
        QCOMPARE(g.text(1, 1), QStringLiteral("1234567.5"));
        QCOMPARE(g.displayText(1, 1), QStringLiteral("1,234,568"));
        QCOMPARE(g.displayText(1, 2), QStringLiteral("abc"));
        QCOMPARE(g.cellType(1, 2), SpreadGrid::CellType::Currency);
        QCOMPARE(g.cellType(2, 2), SpreadGrid::CellType::Edit);
        QVERIFY(g.alignment(1, 1) & Qt::AlignRight);
        QCOMPARE(g.model()->data(g.model()->index(0, 0)).toString(), QStringLiteral("1,234,568"));
    }

    void layersLastWriteWins()
    {
        SpreadGrid g;
        g.setMaxCols(3);
        g.setMaxRows(3);
        g.setLock(-1, -1, true);
        QVERIFY(g.isLocked(2, 2));
        g.setLock(2, -1, false); // column layer, newer
        QVERIFY(!g.isLocked(2, 3));
        QVERIFY(g.isLocked(1, 3));
        g.setLock(-1, 3, true); // row layer, newer than the column
        QVERIFY(g.isLocked(2, 3));
        QVERIFY(!g.isLocked(2, 1));
        g.setLock(2, 3, false); // one cell
        QVERIFY(!g.isLocked(2, 3));
        g.setLock(-1, -1, false); // all again: everything before is overwritten
        QVERIFY(!g.isLocked(1, 3));
        QVERIFY(!(g.model()->flags(g.model()->index(0, 0)) & Qt::ItemIsEditable) == false);

        g.setOddEvenRowColor(Qt::white, Qt::black, QColor(245, 245, 245), Qt::black);
        QCOMPARE(g.backColor(1, 1), QColor(Qt::white));
        QCOMPARE(g.backColor(1, 2), QColor(245, 245, 245));
        g.setBackColor(3, -1, QColor(225, 225, 225));
        g.setBackColor(-1, 2, QColor(224, 240, 224));
        QCOMPARE(g.backColor(3, 1), QColor(225, 225, 225));
        QCOMPARE(g.backColor(3, 2), QColor(224, 240, 224));
        g.setForeColor(-1, 1, QColor(0, 80, 250));
        QCOMPARE(g.foreColor(2, 1), QColor(0, 80, 250));
        QCOMPARE(g.model()->data(g.model()->index(0, 1), Qt::ForegroundRole).value<QColor>(), QColor(0, 80, 250));

        g.setFontSize(-1, -1, 14);
        g.setFontSize(-1, 0, 10);
        QCOMPARE(g.fontSize(1, 1), 14.0);
        QCOMPARE(g.fontSize(1, 0), 10.0);
        g.setFontBold(2, 2, true);
        QVERIFY(g.fontBold(2, 2));
        QVERIFY(g.model()->data(g.model()->index(1, 1), Qt::FontRole).value<QFont>().bold());
    }

    void layersFollowInsertAndDelete()
    {
        SpreadGrid g;
        g.setMaxCols(2);
        g.setMaxRows(5);
        g.setLock(-1, 2, true);
        g.setText(1, 2, QStringLiteral("b"));
        g.setText(1, 3, QStringLiteral("c"));
        g.setBackColor(1, 3, Qt::red);
        g.insertRows(2, 1);
        QCOMPARE(g.maxRows(), 5);
        QCOMPARE(g.text(1, 3), QStringLiteral("b"));
        QVERIFY(g.isLocked(2, 3));
        QVERIFY(!g.isLocked(2, 2));
        QCOMPARE(g.backColor(1, 4), QColor(Qt::red));
        g.deleteRows(2, 2); // the inserted row and "b"
        QCOMPARE(g.text(1, 2), QStringLiteral("c"));
        QVERIFY(!g.isLocked(2, 2));
        QCOMPARE(g.backColor(1, 2), QColor(Qt::red));
        QCOMPARE(g.maxRows(), 5);
        QCOMPARE(g.dataRowCnt(), 2);
    }

    void sumFormulaFollowsEdits()
    {
        SpreadGrid g;
        g.setMaxCols(10);
        g.setMaxRows(6);
        g.setText(6, 2, QStringLiteral("1000"));
        g.setText(6, 3, QStringLiteral("0.0001"));
        g.setFormula(10, 1, QStringLiteral("SUM(R1C6:R6C6)"));
        QCOMPARE(g.formula(10, 1), QStringLiteral("SUM(R1C6:R6C6)"));
        QCOMPARE(g.text(10, 1), QStringLiteral("1000.0001"));
        QSignalSpy changed(&g, &SpreadGrid::valueChanged);
        g.setText(6, 4, QStringLiteral("2500"));
        QCOMPARE(g.text(10, 1), QStringLiteral("3500.0001"));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toInt(), 10);
        QCOMPARE(changed.at(1).at(1).toInt(), 1);
        g.setText(6, 2, QStringLiteral("no number")); // counts as 0
        QCOMPARE(g.text(10, 1), QStringLiteral("2500.0001"));
        g.setText(6, 7, QStringLiteral("99")); // outside the range (row 7 does not exist)
        g.setText(5, 4, QStringLiteral("99")); // outside the range
        QCOMPARE(g.text(10, 1), QStringLiteral("2500.0001"));

        g.insertRows(3, 1); // the range grows with the rows it spans
        QCOMPARE(g.formula(10, 1), QStringLiteral("SUM(R1C6:R7C6)"));
        QCOMPARE(g.text(6, 5), QStringLiteral("2500"));
        QCOMPARE(g.text(10, 1), QStringLiteral("2500.0001"));
        g.deleteRows(5, 1); // 2500 goes
        QCOMPARE(g.formula(10, 1), QStringLiteral("SUM(R1C6:R6C6)"));
        QCOMPARE(g.text(10, 1), QStringLiteral("0.0001"));

        g.setFormula(10, -1, QString());
        g.setText(10, -1, QString());
        QCOMPARE(g.formula(10, 1), QString());
        g.setText(6, 2, QStringLiteral("5"));
        QCOMPARE(g.text(10, 1), QString());

        // A formula cell is not editable by the user.
        g.setFormula(9, 6, QStringLiteral("SUM(R1C6:R5C6)"));
        QVERIFY(!(g.model()->flags(g.model()->index(5, 8)) & Qt::ItemIsEditable));
        QCOMPARE(g.text(9, 6), QStringLiteral("5.0001"));
    }

    void sizesAndUnits()
    {
        SpreadGrid g;
        g.setMaxCols(3);
        g.setMaxRows(3);
        g.setColWidth(2, 9.5);
        QCOMPARE(g.colWidth(2), 9.5);
        QVERIFY(g.columnWidth(1) > g.columnWidth(0) || g.colWidth(1) < 9.5);
        g.setColWidth(3, 0);
        QCOMPARE(g.columnWidth(2), 0);
        g.setColHidden(1, true);
        QVERIFY(g.colHidden(1));
        g.setRowHeight(-1, 12.5);
        g.setRowHeight(0, 14.5);
        QCOMPARE(g.rowHeight(-1), 12.5);
        QCOMPARE(g.rowHeight(2), 12.5);
        QCOMPARE(g.rowHeight(0), 14.5);
        const int px = g.rowHeight(1) > 0 ? g.verticalHeader()->sectionSize(0) : 0;
        g.setRowHeight(-1, 20);
        QVERIFY(g.verticalHeader()->sectionSize(0) > px);
        g.setColWidth(0, 3.5);
        QCOMPARE(g.colWidth(0), 3.5);

        SpreadGrid date;
        date.setUnitType(2);
        date.setMaxCols(1);
        date.setMaxRows(1);
        date.setColWidth(1, 1440);
        QCOMPARE(date.colWidth(1), 1440.0);
        QCOMPARE(date.columnWidth(0), date.twipsToPixelsX(1440));
    }

    void colIds()
    {
        SpreadGrid g;
        g.setMaxCols(3);
        g.setColId(2, QStringLiteral("SDATE"));
        QCOMPARE(g.colId(2), QStringLiteral("SDATE"));
        QCOMPARE(g.colById(QStringLiteral("sdate")), 2);
        QCOMPARE(g.colById(QStringLiteral("none")), 0);
    }

    void setNumberEqualsSetTextOfThePlainNumber()
    {
        auto g = makeGrid(4, 3);
        QSignalSpy changed(g.get(), &SpreadGrid::valueChanged);
        g->setNumber(2, 1, Money::parse(QStringLiteral("1234.5")).value());
        QCOMPARE(g->text(2, 1), QStringLiteral("1234.5"));
        QCOMPARE(g->number(2, 1), Money::parse(QStringLiteral("1234.5")));
        QCOMPARE(changed.count(), 1);
        g->setNumber(2, 1, Money::parse(QStringLiteral("1234.5")).value()); // unchanged: no notification
        QCOMPARE(changed.count(), 1);
        // A formula over the column follows a number written this way.
        g->setFormula(3, 3, QStringLiteral("SUM(R1C2:R2C2)"));
        g->setNumber(2, 2, Money::fromWon(100));
        QCOMPARE(g->text(3, 3), QStringLiteral("1334.5"));
        // A text column keeps it as text.
        g->setText(1, 1, QStringLiteral("abc"));
        g->setNumber(1, 2, Money::fromWon(-7));
        QCOMPARE(g->text(1, 2), QStringLiteral("-7"));
    }

    void keysTheEditorIgnoresDoNotBounceBack()
    {
        // A lone Shift (as before every capital or doubled Hangul consonant)
        // is ignored by the cell editor and propagates to the grid; it must
        // not be sent back to the editor, which would recurse without end.
        auto g = makeGrid(4, 3);
        g->setEditModePermanent(true);
        g->setEditModeReplace(true);
        g->show();
        QVERIFY(QTest::qWaitForWindowExposed(g.get()));
        g->setActiveCell(2, 1);
        QTest::keyClicks(g.get(), QStringLiteral("B"));
        QVERIFY(g->isEditing());
        g->cellEditor()->setFocus();
        QTest::keyClick(g->cellEditor(), Qt::Key_Shift, Qt::ShiftModifier);
        QTest::keyClick(g->cellEditor(), Qt::Key_Control, Qt::ControlModifier);
        QTest::keyClicks(g->cellEditor(), QStringLiteral("C"));
        QCOMPARE(g->cellEditor()->text(), QStringLiteral("BC"));
        QTest::keyClick(g->cellEditor(), Qt::Key_Return);
        QCOMPARE(g->text(2, 1), QStringLiteral("BC"));
    }

    void typingReplacesAndNotifiesInOrder()
    {
        auto g = makeGrid(4, 3);
        g->setEditModePermanent(true);
        g->setEditModeReplace(true);
        g->setText(2, 1, QStringLiteral("old"));
        g->setActiveCell(2, 1);
        QStringList events;
        connect(g.get(), &SpreadGrid::editMode, this, [&](int c, int r, int mode, bool ch) {
            events << QStringLiteral("edit %1,%2 %3 %4 [%5]").arg(c).arg(r).arg(mode).arg(ch).arg(g->text(c, r));
        });
        connect(g.get(), &SpreadGrid::keyPress, this, [&](int k) { events << QStringLiteral("key %1").arg(k); });
        connect(g.get(), &SpreadGrid::leaveCell, this, [&](int c, int r, int nc, int nr, bool*) {
            events << QStringLiteral("leave %1,%2>%3,%4").arg(c).arg(r).arg(nc).arg(nr);
        });
        QSignalSpy user(g.get(), &SpreadGrid::userTextChanged);
        QTest::keyClicks(g.get(), QStringLiteral("ab"));
        QVERIFY(g->isEditing());
        QCOMPARE(g->cellEditor()->text(), QStringLiteral("ab"));
        QTest::keyClick(g->cellEditor(), Qt::Key_Return);
        QCOMPARE(g->text(2, 1), QStringLiteral("ab"));
        QCOMPARE(user.count(), 1);
        QCOMPARE(events,
                 (QStringList{QStringLiteral("key 97"), QStringLiteral("edit 2,1 1 0 [old]"), QStringLiteral("key 98"),
                              QStringLiteral("key 13"), QStringLiteral("edit 2,1 0 1 [ab]"),
                              QStringLiteral("leave 2,1>3,1"), QStringLiteral("edit 3,1 1 0 []")}));
        QCOMPARE(g->activeCol(), 3);
        // Enter without a change: changed flag false.
        events.clear();
        QTest::keyClick(g->cellEditor(), Qt::Key_Return);
        QCOMPARE(events.first(), QStringLiteral("key 13"));
        QCOMPARE(events.at(1), QStringLiteral("edit 3,1 0 0 []"));
        QCOMPARE(g->activeCol(), 4);
        // Escape drops the typed text.
        g->endEdit(true);
        g->setActiveCell(2, 1);
        QTest::keyClicks(g.get(), QStringLiteral("zz"));
        QTest::keyClick(g->cellEditor(), Qt::Key_Escape);
        QCOMPARE(g->text(2, 1), QStringLiteral("ab"));
        QVERIFY(!g->isEditing());
    }

    void enterOnCellNotInEditCountsAsEdit()
    {
        auto g = makeGrid(4, 2);
        g->setEditModePermanent(true);
        g->setActiveCell(4, 2);
        QStringList events;
        connect(g.get(), &SpreadGrid::editMode, this, [&](int c, int r, int mode, bool ch) {
            events << QStringLiteral("edit %1,%2 %3 %4").arg(c).arg(r).arg(mode).arg(ch);
        });
        connect(g.get(), &SpreadGrid::keyPress, this, [&](int k) { events << QStringLiteral("key %1").arg(k); });
        QTest::keyClick(g.get(), Qt::Key_Return);
        QCOMPARE(events, (QStringList{QStringLiteral("edit 4,2 1 0"), QStringLiteral("key 13"),
                                      QStringLiteral("edit 4,2 0 0")}));
    }

    void enterSkipsHiddenColumns()
    {
        auto g = makeGrid(4, 2);
        g->setColHidden(3, true);
        g->setActiveCell(2, 1);
        QTest::keyClick(g.get(), Qt::Key_Return);
        QCOMPARE(g->activeCol(), 4);
        QTest::keyClick(g.get(), Qt::Key_Tab);
        QCOMPARE(g->activeCol(), 1);
        QCOMPARE(g->activeRow(), 2);
    }

    void lockedCellsAreNotEdited()
    {
        auto g = makeGrid(2, 2);
        g->setLock(1, -1, true);
        g->setText(1, 1, QStringLiteral("keep"));
        g->setActiveCell(1, 1);
        QSignalSpy edits(g.get(), &SpreadGrid::editMode);
        QTest::keyClicks(g.get(), QStringLiteral("x"));
        QVERIFY(!g->isEditing());
        QCOMPARE(edits.count(), 0);
        QCOMPARE(g->text(1, 1), QStringLiteral("keep"));
    }

    void numberCellTakesOnlyNumbers_data()
    {
        QTest::addColumn<SpreadGrid::CellType>("type");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<double>("min");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // the cell held "7"
        QTest::addColumn<bool>("outOfRange");
        using T = SpreadGrid::CellType;
        auto row = [](const char* tag, T type, int decimals, double min, const char* typed, const char* stored,
                      bool outOfRange) {
            QTest::newRow(tag) << type << decimals << min << QString::fromUtf8(typed) << QString::fromUtf8(stored)
                               << outOfRange;
        };
        row("grouped", T::Currency, 0, -1e6, "1,234", "1234", false);
        row("letter after digits", T::Currency, 0, -1e6, "12a", "12", false);
        row("letters", T::Number, 0, -1e6, "abc", "7", false);
        row("hangul", T::Number, 0, -1e6, "가1", "1", false);
        row("minus", T::Number, 0, -1e6, "-5", "-5", false);
        row("minus where none may be", T::Number, 0, 0.0, "-5", "5", false);
        row("second minus", T::Number, 0, -1e6, "-5-", "-5", false);
        row("point without decimals", T::Number, 0, -1e6, "3.5", "35", false);
        row("point in an integer cell", T::Integer, 2, -1e6, "3.5", "35", false);
        row("decimals", T::Float, 2, -1e6, "1.255", "1.25", false);
        row("second point", T::Float, 2, -1e6, "1.2.5", "1.25", false);
        row("above the maximum", T::Number, 0, -1e6, "1000001", "7", true);
        row("below the minimum", T::Number, 0, -1e6, "-1000001", "7", true);
        row("minus alone", T::Number, 0, -1e6, "-", "7", false);
    }

    void numberCellTakesOnlyNumbers()
    {
        QFETCH(SpreadGrid::CellType, type);
        QFETCH(int, decimals);
        QFETCH(double, min);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(bool, outOfRange);
        auto g = makeGrid(2, 1);
        g->setCellType(2, -1, type, SpreadGrid::NumberFormat{decimals, true, min, 1e6, false});
        g->setText(2, 1, QStringLiteral("7"));
        QSignalSpy refused(g.get(), &SpreadGrid::numberOutOfRange);
        g->setActiveCell(2, 1);
        for (const QChar c : typed)
            QTest::sendKeyEvent(QTest::Click, g->cellEditor() ? static_cast<QWidget*>(g->cellEditor()) : g.get(),
                                Qt::Key_unknown, QString(c), Qt::NoModifier);
        g->endEdit(true);
        QCOMPARE(g->text(2, 1), stored);
        QCOMPARE(refused.count(), outOfRange ? 1 : 0);
    }

    void numberCellRefusesComposition()
    {
        auto g = makeGrid(2, 1);
        g->setCellType(2, -1, SpreadGrid::CellType::Number, SpreadGrid::NumberFormat{0, true, -1e6, 1e6, false});
        g->setActiveCell(1, 1);
        QVERIFY(!(g->inputMethodQuery(Qt::ImHints).toInt() & Qt::ImhFormattedNumbersOnly));
        g->setActiveCell(2, 1);
        QVERIFY(g->inputMethodQuery(Qt::ImHints).toInt() & Qt::ImhFormattedNumbersOnly);
        // A commit outside an edit starts one with its digits only.
        QInputMethodEvent hangul;
        hangul.setCommitString(QStringLiteral("가1"));
        QCoreApplication::sendEvent(g.get(), &hangul);
        QVERIFY(g->cellEditor());
        QLineEdit* editor = g->cellEditor();
        QCOMPARE(editor->text(), QStringLiteral("1"));
        QVERIFY(editor->inputMethodHints() & Qt::ImhFormattedNumbersOnly);
        // Composition inside the editor shows nothing, and its commit keeps only digits.
        QInputMethodEvent composing(QStringLiteral("ㄱ"), {});
        QCoreApplication::sendEvent(editor, &composing);
        QCOMPARE(editor->text(), QStringLiteral("1"));
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("나2"));
        QCoreApplication::sendEvent(editor, &commit);
        QCOMPARE(editor->text(), QStringLiteral("12"));
        g->endEdit(true);
        QCOMPARE(g->text(2, 1), QStringLiteral("12"));
    }

    void figuresAndRowNumbersAreNeverCut()
    {
        SpreadGrid g;
        g.setMaxCols(3);
        SpreadGrid::NumberFormat f{0, true, -1e15, 1e15, false};
        g.setCellType(2, -1, SpreadGrid::CellType::Currency, f);
        g.setCellType(3, -1, SpreadGrid::CellType::Currency, f);
        g.setColHidden(3, true);
        const double hiddenWidth = g.colWidth(3);
        const double designed = g.colWidth(2);
        g.setReDraw(false);
        g.setMaxRows(12002);
        for (int r = 1; r <= 12002; ++r)
            g.setNumber(2, r, Money::fromWon(r));
        g.setText(2, 5000, QStringLiteral("1234567890123"));
        g.setText(3, 1, QStringLiteral("1234567890123"));
        QCOMPARE(g.colWidth(2), designed); // fitted once the fill is over
        g.setReDraw(true);
        const QFontMetrics fm(g.spreadModel()->cellFont(2, 1));
        QVERIFY(g.columnWidth(1) >= fm.horizontalAdvance(QStringLiteral("1,234,567,890,123")));
        QVERIFY(g.colWidth(2) > designed);
        QCOMPARE(g.colWidth(3), hiddenWidth); // hidden columns stay as they are
        const QFontMetrics header(g.verticalHeader()->font());
        QVERIFY(g.verticalHeader()->width() >= header.horizontalAdvance(QStringLiteral("12002")));
        // A wider figure written later widens the column at once; a bolder font too.
        g.setText(2, 1, QStringLiteral("-91234567890123"));
        QVERIFY(g.columnWidth(1) >= fm.horizontalAdvance(QStringLiteral("-91,234,567,890,123")));
        g.setFontBold(2, 1, true);
        QVERIFY(g.columnWidth(1) >=
                QFontMetrics(g.spreadModel()->cellFont(2, 1)).horizontalAdvance(g.displayText(2, 1)));
        // Auto fit off, a narrow column stays narrow; what it would need is still known.
        g.setAutoFit(false);
        g.setColWidth(2, 3);
        g.setText(2, 2, QStringLiteral("5"));
        QCOMPARE(g.colWidth(2), 3.0);
        QVERIFY(g.numberWidthNeeded(2) > 3);
        // Figures rewritten while redraw is off are measured, not the rows left alone (a stored edit
        // rewrites a few balances of a long sheet); rows that moved meanwhile measure the whole column.
        g.setAutoFit(true);
        g.setColWidth(2, 3);
        for (const bool moveRows : {false, true}) {
            g.setReDraw(false);
            g.setNumber(2, 12000, Money::fromWon(moveRows ? 6 : 5));
            if (moveRows)
                g.sortRows(2, Qt::AscendingOrder, 11999, 12000);
            g.setReDraw(true);
            QCOMPARE(g.colWidth(2) > 3, moveRows);
        }
        // A balance run fits the rows on screen, the others once scrolled to.
        g.resize(300, 200);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        g.setColWidth(2, 3);
        g.setFitShownRowsOnly(true);
        g.setReDraw(false);
        for (const int r : {2, 11000})
            g.setNumber(2, r, Money::fromWon(r == 2 ? 7 : 123456789));
        g.setReDraw(true);
        g.setFitShownRowsOnly(false);
        QCOMPARE(g.colWidth(2), 3.0);
        g.scrollTo(g.model()->index(10999, 1));
        QVERIFY(g.colWidth(2) > 3);
    }

    void cellsFontIsTheUnit()
    {
        SpreadGrid g;
        g.setMaxCols(2);
        g.setMaxRows(2);
        g.setColWidth(1, 10);
        const int narrow = g.columnWidth(0);
        const int low = g.verticalHeader()->sectionSize(0);
        QSignalSpy sizes(&g, &SpreadGrid::sizesChanged);
        g.setFontSize(-1, -1, 20);
        QCOMPARE(g.cellsFontSize(), 20.0);
        QCOMPARE(g.colWidth(1), 10.0); // the width in units stays; the unit grows
        QVERIFY(g.columnWidth(0) > narrow);
        const QFontMetrics fm(g.spreadModel()->cellFont(1, 1));
        QVERIFY(g.columnWidth(0) >= fm.horizontalAdvance(QStringLiteral("0000000000")));
        QVERIFY(g.verticalHeader()->sectionSize(0) > low);
        QVERIFY(g.verticalHeader()->sectionSize(0) >= fm.height());
        QVERIFY(sizes.count() >= 1);
    }

    void maxLengthLimitsTyping()
    {
        auto g = makeGrid(1, 1);
        g->setTypeMaxLength(1, -1, 3);
        QTest::keyClicks(g.get(), QStringLiteral("abcdef"));
        g->endEdit(true);
        QCOMPARE(g->text(1, 1), QStringLiteral("abc"));
    }

    void leaveCellCancelKeepsCursor()
    {
        auto g = makeGrid(4, 4);
        g->setActiveCell(2, 2);
        bool refuse = true;
        connect(g.get(), &SpreadGrid::leaveCell, this, [&](int, int, int, int, bool* cancel) { *cancel = refuse; });
        QTest::keyClick(g.get(), Qt::Key_Down);
        QCOMPARE(g->activeRow(), 2);
        QCOMPARE(g->currentIndex().row(), 1);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cellCenter(g.get(), 3, 3));
        QCOMPARE(g->activeCol(), 2);
        QCOMPARE(g->activeRow(), 2);
        QCOMPARE(g->currentIndex(), g->model()->index(1, 1));
        refuse = false;
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cellCenter(g.get(), 3, 3));
        QCOMPARE(g->activeCol(), 3);
        QCOMPARE(g->activeRow(), 3);
    }

    void leaveCellHandlerMayRedirect()
    {
        auto g = makeGrid(4, 4);
        g->setActiveCell(1, 1);
        connect(g.get(), &SpreadGrid::leaveCell, this, [&](int, int, int nc, int nr, bool* cancel) {
            if (nc != 4) {
                *cancel = true;
                g->setActiveCell(4, nr);
            }
        });
        QTest::keyClick(g.get(), Qt::Key_Down);
        QCOMPARE(g->activeCol(), 4);
        QCOMPARE(g->activeRow(), 2);
    }

    void mouseNotifications()
    {
        auto g = makeGrid(3, 3);
        QSignalSpy right(g.get(), &SpreadGrid::rightClick);
        QSignalSpy dbl(g.get(), &SpreadGrid::dblClick);
        QTest::mouseClick(g->viewport(), Qt::RightButton, {}, cellCenter(g.get(), 2, 3));
        QCOMPARE(right.count(), 1);
        QCOMPARE(right.at(0).at(0).toInt(), 2);
        QCOMPARE(right.at(0).at(1).toInt(), 3);
        QCOMPARE(g->activeRow(), 1); // a right click does not move the cursor
        QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, cellCenter(g.get(), 3, 2));
        QCOMPARE(dbl.count(), 1);
        QCOMPARE(dbl.at(0).at(0).toInt(), 3);
        QCOMPARE(dbl.at(0).at(1).toInt(), 2);
    }

    void userColumnDragNotifiesOnce()
    {
        auto g = makeGrid(3, 3);
        QSignalSpy widths(g.get(), &SpreadGrid::columnWidthChanged);
        g->setColWidth(2, 10); // by the program: no notification
        g->horizontalHeader()->resizeSection(1, g->columnWidth(1) + 40);
        QTest::mouseRelease(g->horizontalHeader()->viewport(), Qt::LeftButton);
        QTRY_COMPARE(widths.count(), 1);
        QCOMPARE(widths.at(0).at(0).toInt(), 2);
        QCOMPARE(widths.at(0).at(1).toInt(), 2);
        QVERIFY(g->colWidth(2) > 10);
    }

    void headerClickSorts()
    {
        auto g = makeGrid(2, 4);
        g->setUserColActionSort(true);
        const QStringList nums{QStringLiteral("10"), QStringLiteral("9"), QString(), QStringLiteral("100")};
        for (int r = 1; r <= 4; ++r) {
            g->setText(1, r, nums[r - 1]);
            g->setText(2, r, QStringLiteral("r%1").arg(r));
        }
        g->setForeColor(-1, 2, Qt::blue);
        Q_EMIT g->horizontalHeader()->sectionClicked(0);
        QCOMPARE(g->text(1, 1), QStringLiteral("9"));
        QCOMPARE(g->text(2, 1), QStringLiteral("r2"));
        QCOMPARE(g->foreColor(2, 1), QColor(Qt::blue)); // the row look moved with it
        QCOMPARE(g->text(1, 2), QStringLiteral("10"));
        QCOMPARE(g->text(1, 3), QStringLiteral("100"));
        QCOMPARE(g->text(1, 4), QString());
        Q_EMIT g->horizontalHeader()->sectionClicked(0); // descending
        QCOMPARE(g->text(1, 1), QStringLiteral("100"));

        // A window may sort only part of the rows.
        connect(g.get(), &SpreadGrid::sortRequested, this, [&](int col, Qt::SortOrder order, bool* handled) {
            g->sortRows(col, order, 2, 3);
            *handled = true;
        });
        g->setText(2, 1, QStringLiteral("z"));
        g->setText(2, 2, QStringLiteral("b"));
        g->setText(2, 3, QStringLiteral("a"));
        Q_EMIT g->horizontalHeader()->sectionClicked(1);
        QCOMPARE(g->text(2, 1), QStringLiteral("z"));
        QCOMPARE(g->text(2, 2), QStringLiteral("a"));
        QCOMPARE(g->text(2, 3), QStringLiteral("b"));
    }

    void rowModeSelectsRowsWithoutEditing()
    {
        auto g = makeGrid(3, 3);
        g->setOperationMode(SpreadGrid::OperationMode::RowMode);
        g->setActiveCell(2, 2);
        QVERIFY(g->selectionModel()->isRowSelected(1, QModelIndex()));
        QSignalSpy keys(g.get(), &SpreadGrid::keyPress);
        QTest::keyClick(g.get(), Qt::Key_A);
        QTest::keyClick(g.get(), Qt::Key_Return);
        QVERIFY(!g->isEditing());
        QCOMPARE(keys.count(), 2);
        QCOMPARE(keys.at(1).at(0).toInt(), 13);
        QCOMPARE(g->activeCol(), 2);
    }

    void reDrawSuspendsNotifications()
    {
        SpreadGrid g;
        g.setMaxCols(2);
        g.setMaxRows(2);
        QSignalSpy data(g.model(), &QAbstractItemModel::dataChanged);
        g.setReDraw(false);
        g.setText(1, 1, QStringLiteral("1"));
        g.setText(1, 2, QStringLiteral("2"));
        QCOMPARE(data.count(), 0);
        g.setReDraw(true);
        QCOMPARE(data.count(), 1);
        QVERIFY(g.reDraw());
    }

    void activeCellAddressing()
    {
        SpreadGrid g;
        g.setMaxCols(3);
        g.setMaxRows(3);
        g.setActiveCell(3, 2);
        QCOMPARE(g.activeCol(), 3);
        QCOMPARE(g.activeRow(), 2);
        g.setActiveCell(0, 0);
        QCOMPARE(g.activeCol(), 0);
        QCOMPARE(g.activeRow(), 0);
        QVERIFY(!g.currentIndex().isValid());
    }

    void modelPassesTester()
    {
        SpreadGrid g;
        QAbstractItemModelTester tester(g.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        g.setMaxCols(5);
        g.setMaxRows(10);
        g.setText(1, 1, QStringLiteral("x"));
        g.insertRows(1, 2);
        g.deleteRows(2, 3);
        g.setFormula(5, 10, QStringLiteral("SUM(R1C1:R9C4)"));
        g.sortRows(1, Qt::AscendingOrder, 1, 10);
        g.setMaxRows(3);
        g.setMaxCols(2);
        g.setMaxRows(0);
    }
};

QTEST_MAIN(tst_SpreadGrid)
#include "tst_spreadgrid.moc"
