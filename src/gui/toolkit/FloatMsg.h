#pragma once

#include <QColor>
#include <QDialog>
#include <QString>

class QLabel;
class QTimer;

// The floating notice: one application-wide borderless bar that shows a
// short text for a moment (or until CloseFloatMsg) without asking anything.
class frmFloatMsg : public QDialog {
    Q_OBJECT
public:
    explicit frmFloatMsg(QWidget* owner = nullptr);

    void InitForm(const QString& strMsg, int lDelay, const QColor& BKColor);
    QString text() const;
    QColor backgroundColor() const;
    bool timerActive() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* pnlCaption;
    QTimer* Timer1;
};

// Shows the notice centred over the active window. Modal (1) holds the caller
// until the display time has run out; modeless stays top-most until it ends.
void ShowFloatMsg(const QString& text, int delayMs, int modal, const QColor& color);
void CloseFloatMsg();
// The notice window while it is shown, else null (for tests).
frmFloatMsg* CurrentFloatMsg();
// Keeps a window above all others without moving or resizing it.
void SetTopMost(QWidget* window);

// Cyan, the colour of every notice Tallox shows.
inline QColor FloatMsgColor()
{
    return QColor(0, 255, 255);
}
