#include "gui/toolkit/modSpread.h"

#include "gui/grid/SpreadDesign.h"

#include "data/base/Money.h"
#include "gui/grid/SpreadGrid.h"
#include "gui/toolkit/FloatMsg.h"
#include "gui/toolkit/FormIni.h"
#include "gui/toolkit/Messages.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QMenu>
#include <cmath>

namespace {
GridMenuHook::Picker g_picker;

int resolveRow(SpreadGrid* grid, int row)
{
    return row == -2 ? grid->activeRow() : row;
}

// Asks until the answer is empty, 0 or within 8 to 20. False when the user
// gave no answer; `answer` then stays empty.
bool AskSize(const QString& prompt, const QString& title, int current, QString* answer)
{
    for (;;) {
        QString typed;
        if (!InputBox(prompt, title, QString::number(current), &typed) || typed.isEmpty()) {
            answer->clear();
            return false;
        }
        const double v = leadingNumber(typed);
        if (v == 0 || (v >= 8 && v <= 20)) {
            *answer = typed;
            return true;
        }
    }
}
} // namespace

void GridMenuHook::setPicker(Picker picker)
{
    g_picker = std::move(picker);
}

void DeleteSheetRow(SpreadGrid* grid, int row, bool showNotice, bool shrink)
{
    row = resolveRow(grid, row);
    grid->deleteRows(row, 1);
    if (shrink)
        grid->setMaxRows(grid->dataRowCnt());
    grid->refresh();
    if (showNotice)
        ShowFloatMsg(QCoreApplication::translate("modSpread", "자료를 삭제하였습니다."), 500, 1, QColor(0, 255, 255));
}

namespace {
struct GridMenuEntry {
    QString text; // empty for a separator
    GridMenuCommand command;
};

QList<GridMenuEntry> gridMenuEntries()
{
    return {{QCoreApplication::translate("modSpread", "그리드 줄높이 변경"), GridMenuCommand::RowHeight},
            {QCoreApplication::translate("modSpread", "글자크기        변경"), GridMenuCommand::FontSize},
            {QString(), GridMenuCommand::Dismissed},
            {QCoreApplication::translate("modSpread", "폼 및 그리드 설정 초기화"), GridMenuCommand::ResetLayout},
            {QString(), GridMenuCommand::Dismissed},
            {QCoreApplication::translate("modSpread", "메    뉴      닫    기"), GridMenuCommand::Dismissed}};
}

// The command the user picks: through the test hook when one is set, else from the real menu.
GridMenuCommand pickGridMenuCommand(QWidget* window)
{
    const QList<GridMenuEntry> entries = gridMenuEntries();
    if (g_picker) {
        QStringList texts;
        for (const GridMenuEntry& e : entries)
            texts << e.text;
        return static_cast<GridMenuCommand>(g_picker(texts));
    }
    QMenu menu(window);
    menu.setObjectName(QStringLiteral("mnuGrid"));
    for (const GridMenuEntry& e : entries) {
        if (e.text.isEmpty()) {
            menu.addSeparator();
        } else {
            QAction* a = menu.addAction(e.text);
            a->setData(int(e.command));
        }
    }
    if (QAction* chosen = menu.exec(QCursor::pos()))
        return static_cast<GridMenuCommand>(chosen->data().toInt());
    return GridMenuCommand::Dismissed;
}

// Asks for a new size (row height or font size) and stores the answer in the
// window's layout file; `apply` sets a size other than 0 (the default) on the grid.
void changeGridSize(QWidget* window, const QString& gridName, const QString& prompt, const QString& title, int current,
                    const QString& iniKey, const std::function<void(double)>& apply)
{
    QString answer;
    if (!AskSize(prompt, title, current, &answer))
        return;
    const double v = leadingNumber(answer);
    if (v == current)
        return;
    if (v != 0)
        apply(v);
    SaveLayoutValue(window, gridName + QStringLiteral("_General"), iniKey, answer, QStringLiteral("SaveSpreadIni_Gn"));
}

void resetGridLayout(QWidget* window)
{
    const QString question =
        QCoreApplication::translate("modSpread", "해당폼의 폼의 위치 및 크기, 그리드의 각 칸의 넓이\r\n\r\n"
                                                 ", 줄높이, 글자크기등이 모두 초기화 됩니다.\r\n\r\n"
                                                 "초기화 하시겠습니까?");
    if (MsgQuestion(question, QString(), true) != MsgAnswer::Yes)
        return;
    DelFormIni(window ? window->objectName() : QString());
    MsgInfo(QCoreApplication::translate("modSpread",
                                        "초기화를 완료하였습니다.\r\n\r\n"
                                        "현재창을 닫고 다시 열어 주셔야 초기화된 형태가 제대로 보여집니다."));
}
} // namespace

void ShowGridMenu(QWidget* window, SpreadGrid* grid)
{
    if (!grid)
        return;
    ShowGridMenu(window, GridMenuTarget{grid->objectName(), int(grid->rowHeight(-1)), int(grid->fontSize(1, 1)),
                                        [grid](double v) {
                                            grid->setRowHeight(-1, v);
                                            grid->setRowHeight(0, v + 2);
                                        },
                                        [grid](double v) {
                                            grid->setFontSize(-1, -1, v);
                                            grid->setFontSize(-1, 0, 10);
                                        }});
}

void ShowGridMenu(QWidget* window, const GridMenuTarget& target)
{
    switch (pickGridMenuCommand(window)) {
    case GridMenuCommand::RowHeight:
        changeGridSize(
            window, target.name,
            QCoreApplication::translate("modSpread", "변경할 그리드의 줄높이를 입력하세요.(입력범위: 8~20, 0:기본값)"),
            QCoreApplication::translate("modSpread", "그리드의 줄높이 변경"), target.rowHeight,
            QStringLiteral("RowHeight"), target.setRowHeight);
        return;
    case GridMenuCommand::FontSize:
        changeGridSize(
            window, target.name,
            QCoreApplication::translate("modSpread", "변경할 글자의 크기를 입력하세요.(입력범위: 8~20, 0:기본값)"),
            QCoreApplication::translate("modSpread", "그리드내 글자크기 변경"), target.fontSize,
            QStringLiteral("FontSize"), target.setFontSize);
        return;
    case GridMenuCommand::ResetLayout:
        resetGridLayout(window);
        return;
    case GridMenuCommand::Dismissed:
        return;
    }
}
