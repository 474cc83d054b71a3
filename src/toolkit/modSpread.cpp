#include "toolkit/modSpread.h"

#include "platform/SpreadDesign.h"

#include "base/Money.h"
#include "platform/SpreadGrid.h"
#include "toolkit/FloatMsg.h"
#include "toolkit/FormIni.h"
#include "toolkit/Messages.h"

#include <QAction>
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
        ShowFloatMsg(QStringLiteral("자료를 삭제하였습니다."), 500, 1, QColor(0, 255, 255));
}

void ShowGridMenu(QWidget* window, SpreadGrid* grid)
{
    if (!grid)
        return;
    const QStringList entries{QStringLiteral("그리드 줄높이 변경"), QStringLiteral("글자크기        변경"), QString(),
                              QStringLiteral("폼 및 그리드 설정 초기화"), QString(),
                              QStringLiteral("메    뉴      닫    기")};
    const int commands[] = {1, 2, -1, 3, -1, 0};
    int command = 0;
    if (g_picker) {
        command = g_picker(entries);
    } else {
        QMenu menu(window);
        menu.setObjectName(QStringLiteral("mnuGrid"));
        for (int i = 0; i < entries.size(); ++i) {
            if (commands[i] < 0) {
                menu.addSeparator();
            } else {
                QAction* a = menu.addAction(entries[i]);
                a->setData(commands[i]);
            }
        }
        if (QAction* chosen = menu.exec(QCursor::pos()))
            command = chosen->data().toInt();
    }

    switch (command) {
    case 1: {
        const int current = int(grid->rowHeight(-1));
        QString answer;
        if (!AskSize(QStringLiteral("변경할 그리드의 줄높이를 입력하세요.(입력범위: 8~20, 0:기본값)"),
                     QStringLiteral("그리드의 줄높이 변경"), current, &answer))
            return;
        const double v = leadingNumber(answer);
        if (v == current)
            return;
        if (v != 0) {
            grid->setRowHeight(-1, v);
            grid->setRowHeight(0, v + 2);
        }
        SaveSpreadIni_Gn(window, grid, QStringLiteral("RowHeight"), answer);
        return;
    }
    case 2: {
        const int current = int(grid->fontSize(1, 1));
        QString answer;
        if (!AskSize(QStringLiteral("변경할 글자의 크기를 입력하세요.(입력범위: 8~20, 0:기본값)"),
                     QStringLiteral("그리드내 글자크기 변경"), current, &answer))
            return;
        const double v = leadingNumber(answer);
        if (v == current)
            return;
        if (v != 0) {
            grid->setFontSize(-1, -1, v);
            grid->setFontSize(-1, 0, 10);
        }
        SaveSpreadIni_Gn(window, grid, QStringLiteral("FontSize"), answer);
        return;
    }
    case 3: {
        const QString gap = QStringLiteral("\r\n\r\n");
        const QString question = QStringLiteral("해당폼의 폼의 위치 및 크기, 그리드의 각 칸의 넓이") + gap +
                                 QStringLiteral(", 줄높이, 글자크기등이 모두 초기화 됩니다.") + gap +
                                 QStringLiteral("초기화 하시겠습니까?");
        if (MsgQuestion(question, QString(), true) != MsgAnswer::Yes)
            return;
        DelFormIni(window ? window->objectName() : QString());
        MsgInfo(QStringLiteral("초기화를 완료하였습니다.") + gap +
                QStringLiteral("현재창을 닫고 다시 열어 주셔야 초기화된 형태가 제대로 보여집니다."));
        return;
    }
    default:
        return;
    }
}
