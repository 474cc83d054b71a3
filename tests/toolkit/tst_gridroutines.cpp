#include "TestSupport.h"

#include "gui/grid/SpreadGrid.h"
#include "gui/toolkit/FloatMsg.h"
#include "gui/toolkit/FormIni.h"
#include "gui/toolkit/modSpread.h"

#include <QFile>
#include <QSettings>
#include <QWidget>

class tst_GridRoutines : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> env;
    std::unique_ptr<QWidget> window;
    SpreadGrid* grid = nullptr;
    int menuCommand = 0;
    QStringList menuEntries;

    QString general(const QString& key)
    {
        QSettings ini(FormIniPath(QStringLiteral("frmTest")), QSettings::IniFormat);
        return ini.value(QStringLiteral("spList_General/") + key).toString();
    }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<TestEnv>(QDate(2005, 6, 15), false);
        MessageHook::enable();
        MessageHook::reset();
        window = std::make_unique<QWidget>();
        window->setObjectName(QStringLiteral("frmTest"));
        grid = new SpreadGrid(window.get());
        grid->setObjectName(QStringLiteral("spList"));
        grid->setMaxCols(5);
        grid->setMaxRows(3);
        GridMenuHook::setPicker([this](const QStringList& entries) {
            menuEntries = entries;
            return menuCommand;
        });
    }

    void cleanup()
    {
        GridMenuHook::setPicker({});
        window.reset();
        MessageHook::disable();
        env.reset();
    }

    void commonDesignLockAll()
    {
        CommonSpreadDesign(grid, true, true, true, true);
        QCOMPARE(grid->maxRows(), 0);
        QCOMPARE(grid->operationMode(), SpreadGrid::OperationMode::RowMode);
        QVERIFY(grid->userColActionSort());
        QCOMPARE(grid->selBackColor(), QColor(254, 254, 186));
        grid->setMaxRows(2);
        QVERIFY(grid->isLocked(3, 2));
        QCOMPARE(grid->backColor(1, 1), QColor(255, 255, 255));
        QCOMPARE(grid->backColor(1, 2), QColor(245, 245, 245));
    }

    void commonDesignEditable()
    {
        CommonSpreadDesign(grid, false, false, false, true); // row mode ignored without lock all
        QCOMPARE(grid->maxRows(), 3);
        QCOMPARE(grid->operationMode(), SpreadGrid::OperationMode::Normal);
        QVERIFY(!grid->isLocked(1, 1));
        QVERIFY(!grid->userColActionSort());
    }

    void getCellText()
    {
        grid->setText(2, 3, QStringLiteral("abc"));
        QCOMPARE(GetCellText(grid, 2, 3), QStringLiteral("abc"));
        QCOMPARE(GetCellText(grid, 1, 1), QString());
        grid->setActiveCell(2, 3);
        QCOMPARE(GetCellText(grid, -2, -2), QStringLiteral("abc"));
    }

    void currencyCol()
    {
        SetCurrencyCol(grid, 4, true);
        QCOMPARE(grid->cellType(4, 2), SpreadGrid::CellType::Currency);
        QCOMPARE(grid->numberFormat(4, 1).decimals, 0);
        QVERIFY(grid->numberFormat(4, 1).separators);
        QCOMPARE(grid->numberFormat(4, 1).max, 999999999999.0);
        QCOMPARE(grid->numberFormat(4, 1).min, -999999999999.0);
        QVERIFY(grid->alignment(4, 1) & Qt::AlignVCenter);
        grid->setText(4, 1, QStringLiteral("1234567"));
        QCOMPARE(grid->displayText(4, 1), QStringLiteral("1,234,567"));
    }

    void deleteSheetRowShrinks()
    {
        grid->setMaxRows(10);
        for (int r = 1; r <= 7; ++r)
            grid->setText(1, r, QString::number(r));
        DeleteSheetRow(grid, 3, false, true);
        QCOMPARE(grid->maxRows(), 6);
        QCOMPARE(grid->text(1, 3), QStringLiteral("4"));
        grid->setActiveCell(1, 1);
        DeleteSheetRow(grid, -2, false, false);
        QCOMPARE(grid->maxRows(), 6);
        QCOMPARE(grid->text(1, 1), QStringLiteral("2"));
    }

    void deleteSheetRowShowsNotice()
    {
        grid->setText(1, 1, QStringLiteral("x"));
        DeleteSheetRow(grid, 1, true, true);
        QCOMPARE(grid->maxRows(), 0);
        // The modal notice has run its time and closed.
        QVERIFY(CurrentFloatMsg() == nullptr || !CurrentFloatMsg()->isVisible());
    }

    void sumFormula()
    {
        grid->setMaxRows(2);
        SetSumFormula(grid, 3);
        QCOMPARE(grid->formula(3, 2), QStringLiteral("SUM(R1C3:R1C3)"));
        grid->setMaxRows(11);
        SetSumFormula(grid, 5);
        QCOMPARE(grid->formula(5, 11), QStringLiteral("SUM(R1C5:R10C5)"));
        grid->setText(5, 1, QStringLiteral("100"));
        grid->setText(5, 10, QStringLiteral("23"));
        QCOMPARE(grid->text(5, 11), QStringLiteral("123"));
    }

    void totalRow()
    {
        AddTotalRow(grid, 2);
        QCOMPARE(grid->maxRows(), 4);
        QCOMPARE(grid->text(2, 4), QStringLiteral("[합 계]"));
        QCOMPARE(grid->backColor(5, 4), QColor(224, 240, 224));
        QVERIFY(grid->isLocked(1, 4));
        QVERIFY(!grid->isLocked(1, 3));
    }

    void lockCol()
    {
        LockCol(grid, 2, true);
        QVERIFY(grid->isLocked(2, 3));
        QVERIFY(!grid->isLocked(1, 3));
        QCOMPARE(grid->backColor(2, 2), QColor(225, 225, 225));
        LockCol(grid, 3, false);
        QVERIFY(grid->isLocked(3, 1));
        QCOMPARE(grid->backColor(3, 2), QColor(Qt::white)); // not greyed
    }

    void totalStrip()
    {
        grid->setColHidden(1, true);
        grid->setColWidth(2, 9.5);
        grid->setColWidth(4, 11.37);
        grid->setColWidth(0, 3.5);
        SpreadGrid strip(window.get());
        strip.setMaxRows(1);
        SetupTotalStrip(&strip, grid, 2);
        QCOMPARE(strip.maxCols(), 5);
        QVERIFY(strip.colHidden(1));
        QVERIFY(!strip.colHidden(2));
        QCOMPARE(strip.colWidth(2), 9.5);
        QCOMPARE(strip.colWidth(4), 11.37);
        QCOMPARE(strip.text(2, 1), QStringLiteral("[합 계]"));
        QCOMPARE(strip.operationMode(), SpreadGrid::OperationMode::Normal);
        QCOMPARE(strip.backColor(3, 1), QColor(224, 240, 224));
        QVERIFY(strip.isLocked(3, 1));
        QCOMPARE(strip.activeRow(), 0);
        QVERIFY(strip.rowHeadersShow());
        QCOMPARE(strip.colWidth(0), 3.5);
        QCOMPARE(strip.text(0, 1), QStringLiteral(" "));
    }

    void menuEntriesAndClose()
    {
        menuCommand = 0;
        ShowGridMenu(window.get(), grid);
        QCOMPARE(menuEntries, (QStringList{QStringLiteral("그리드 줄높이 변경"), QStringLiteral("글자크기        변경"),
                                           QString(), QStringLiteral("폼 및 그리드 설정 초기화"), QString(),
                                           QStringLiteral("메    뉴      닫    기")}));
        QVERIFY(MessageHook::shown().isEmpty());
        QVERIFY(!QFile::exists(FormIniPath(QStringLiteral("frmTest"))));
    }

    void rowHeightAsksAgainOutOfRange()
    {
        menuCommand = 1;
        grid->setRowHeight(-1, 12);
        MessageHook::answerInput(QStringLiteral("7"));
        MessageHook::answerInput(QStringLiteral("21"));
        MessageHook::answerInput(QStringLiteral("12.5"));
        ShowGridMenu(window.get(), grid);
        QCOMPARE(MessageHook::shown().size(), 3);
        QCOMPARE(MessageHook::shown().at(0).kind, QStringLiteral("input"));
        QCOMPARE(MessageHook::shown().at(0).title, QStringLiteral("그리드의 줄높이 변경"));
        QCOMPARE(MessageHook::shown().at(0).text,
                 QStringLiteral("변경할 그리드의 줄높이를 입력하세요.(입력범위: 8~20, 0:기본값)"));
        QCOMPARE(grid->rowHeight(-1), 12.5);
        QCOMPARE(grid->rowHeight(0), 14.5);
        QCOMPARE(general(QStringLiteral("RowHeight")), QStringLiteral("12.5"));
    }

    void rowHeightZeroStoresWithoutChange()
    {
        menuCommand = 1;
        grid->setRowHeight(-1, 12);
        MessageHook::answerInput(QStringLiteral("0"));
        ShowGridMenu(window.get(), grid);
        QCOMPARE(grid->rowHeight(-1), 12.0);
        QCOMPARE(general(QStringLiteral("RowHeight")), QStringLiteral("0"));
    }

    void rowHeightCancelStoresNothing()
    {
        menuCommand = 1;
        MessageHook::cancelInput();
        ShowGridMenu(window.get(), grid);
        QVERIFY(!QFile::exists(FormIniPath(QStringLiteral("frmTest"))));
    }

    void fontSizePaths()
    {
        menuCommand = 2;
        grid->setFontSize(-1, -1, 9);
        MessageHook::answerInput(QStringLiteral("9")); // equal to the current size: nothing stored
        ShowGridMenu(window.get(), grid);
        QVERIFY(!QFile::exists(FormIniPath(QStringLiteral("frmTest"))));
        QCOMPARE(MessageHook::shown().last().title, QStringLiteral("그리드내 글자크기 변경"));
        QCOMPARE(MessageHook::shown().last().text,
                 QStringLiteral("변경할 글자의 크기를 입력하세요.(입력범위: 8~20, 0:기본값)"));

        MessageHook::answerInput(QStringLiteral("5"));
        MessageHook::answerInput(QStringLiteral("14"));
        ShowGridMenu(window.get(), grid);
        QCOMPARE(grid->fontSize(3, 2), 14.0);
        QCOMPARE(grid->fontSize(3, 0), 10.0);
        QCOMPARE(general(QStringLiteral("FontSize")), QStringLiteral("14"));

        MessageHook::answerInput(QStringLiteral("0"));
        ShowGridMenu(window.get(), grid);
        QCOMPARE(grid->fontSize(3, 2), 14.0);
        QCOMPARE(general(QStringLiteral("FontSize")), QStringLiteral("0"));
    }

    void resetNoKeepsFileYesDeletes()
    {
        SaveSpreadIni_Gn(window.get(), grid, QStringLiteral("RowHeight"), QStringLiteral("15"));
        const QString path = FormIniPath(QStringLiteral("frmTest"));
        QVERIFY(QFile::exists(path));
        menuCommand = 3;
        MessageHook::answer(MsgAnswer::No);
        ShowGridMenu(window.get(), grid);
        QVERIFY(QFile::exists(path));
        const QString question = QStringLiteral("해당폼의 폼의 위치 및 크기, 그리드의 각 칸의 넓이\r\n\r\n, 줄높이, "
                                                "글자크기등이 모두 초기화 됩니다.\r\n\r\n초기화 하시겠습니까?");
        QCOMPARE(MessageHook::shown().last().kind, QStringLiteral("question"));
        QCOMPARE(MessageHook::shown().last().text, question);

        MessageHook::answer(MsgAnswer::Yes);
        ShowGridMenu(window.get(), grid);
        QVERIFY(!QFile::exists(path));
        QCOMPARE(MessageHook::shown().last().kind, QStringLiteral("info"));
        QCOMPARE(MessageHook::shown().last().text,
                 QStringLiteral("초기화를 완료하였습니다.\r\n\r\n현재창을 닫고 다시 열어 주셔야 초기화된 형태가 "
                                "제대로 보여집니다."));
    }
};

QTEST_MAIN(tst_GridRoutines)
#include "tst_gridroutines.moc"
