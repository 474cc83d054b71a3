#include "gui/cards/CardSearch.h"

#include "data/base/Money.h"
#include "gui/cards/frmPlastra_sel.h"
#include "gui/cards/frmPlastra_write.h"
#include "gui/toolkit/Messages.h"
#include "gui/toolkit/ModalRun.h"
#include "gui/toolkit/Utils.h"

#include <QApplication>

QString SearchCard(const QString& cardDbPath, const QString& name, int* cardCode, QWidget* anchor, int placeMode,
                   bool allowNew, bool* newCard)
{
    int codeOut = 0;
    bool newOut = false;
    QString chosen;
    const QString title = QCoreApplication::translate("CardSearch", "신용카드 검색");
    const QString notFound =
        name.isEmpty() ? QCoreApplication::translate("CardSearch", "등록된 신용카드가 없습니다.")
                       : QCoreApplication::translate("CardSearch", "검색한 신용카드가 등록되어 있지 않습니다.");
    QWidget* owner = anchor ? anchor->window() : QApplication::activeWindow();
    const auto across = static_cast<PlaceAcross>(placeMode);

    frmPlastra_sel picker(cardDbPath, owner);
    const int matches = picker.FindRecords(name);
    bool readPicker = true;
    if (matches == 0) {
        if (allowNew) {
            readPicker = false;
            if (MsgQuestion(notFound + QCoreApplication::translate("CardSearch", "\r\n신규 등록하겠습니까?"), title,
                            false) == MsgAnswer::Yes) {
                frmPlastra_write editor(cardDbPath, owner);
                editor.setMode(frmPlastra_write::EditMode::Add);
                editor.setDefaultName(name);
                PlaceFormAtControl(&editor, anchor, across, PlaceUpDown::Below);
                ExecModal(&editor);
                ReturnFocusTo(owner);
                codeOut = editor.CCode();
                chosen = editor.CName();
                newOut = true;
            }
        } else {
            MsgInfo(notFound, title);
        }
    } else if (matches >= 2) {
        PlaceFormAtControl(&picker, anchor, across, PlaceUpDown::Below);
        ExecModal(&picker);
        ReturnFocusTo(owner);
    }

    if (readPicker) {
        const QString result = picker.result();
        const qsizetype split = result.indexOf(QChar(0));
        if (!result.isEmpty() && split >= 0) {
            codeOut = int(qRound64(leadingNumber(result.left(split))));
            chosen = result.mid(split + 1);
        }
    }
    if (cardCode)
        *cardCode = codeOut;
    if (newCard)
        *newCard = newOut;
    return chosen;
}
