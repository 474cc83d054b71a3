#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

class QComboBox;
class QWidget;

class Database;

// Small window routines shared by the windows (modComboBox and friends).

// Fills a card combo box: an empty item (item data 0, "all cards") selected,
// then every card by name with its code as item data. A failed query is shown.
void FillPlastra(Database& card, QComboBox* combo);

// Centres a window on its screen unless it has been placed already; with
// `takeIcon` it gets the application's icon.
void CenterForm(QWidget* w, bool takeIcon);

// Asks the input method of the focused widget for Hangul (true) or Latin
// (false) input: input method hints are as far as Qt goes.
void SetImeMode(bool hangul);

// Moves a top-level window next to an anchor control, in screen coordinates.
// Horizontal mode: 0 left edges aligned, 1 right edges aligned, 2 centred over
// the anchor, any other value the screen's left edge. Vertical mode: 4 just
// above the anchor, any other value just below it. The size does not change.
void PlaceFormAtControl(QWidget* window, QWidget* anchor, int hMode, int vMode);

// Drops down the list of the focused control of the active window when that
// control is a combo box; nothing otherwise.
void CmbShowList();
// Sets how wide the dropped-down list is and how far it drops (twips).
void CmbSetSize(QComboBox* combo, int listWidthTwips, int heightTwips);
// Item data of the selected entry as a whole number (0 when the entry carries
// none), or `defaultValue` when no entry is selected.
int CmbGetItemData(QComboBox* combo, int defaultValue);

// Enter (13) and Right (39) move the focus to the next control in the
// window's tab order, Left (37) to the previous one; other keys do nothing.
void KeyToTab(QWidget* from, int keyCode);

// Asks, then opens the support web site ("General"/"HomePage" in the user
// settings, the built-in address when nothing is stored).
void GoHomePage();
QString HomePageAddress();
QString DefaultHomePageAddress();

// Starts the desktop's calculator (the first of gnome-calculator, kcalc,
// galculator, qalculate-gtk, xcalc found on PATH); false when none starts.
bool StartCalculator();
QStringList CalculatorCandidates();

// Opening addresses and starting programs go through here, so that tests can
// record them instead of launching anything.
namespace LaunchHook {
void enable();
void disable();
bool enabled();
void reset();
const QList<QUrl>& openedUrls();
const QStringList& startedPrograms(); // full paths of the programs started
}

// QDesktopServices::openUrl / QProcess::startDetached, or a record under the hook.
bool OpenUrl(const QUrl& url);
bool StartProgram(const QString& program, const QStringList& arguments = {});
