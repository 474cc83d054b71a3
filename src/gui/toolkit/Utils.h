#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

class QComboBox;
class QPushButton;
class QWidget;

class Database;

// Small window routines shared by the windows (modComboBox and friends).

// Fills a card combo box: an empty item (item data 0, "all cards") selected,
// then every card by name with its code as item data. A failed query is shown.
void FillPlastra(Database& card, QComboBox* combo);

// A window's command button (조회, 엑셀, 인쇄, 닫기, ...): named for tests and
// layout files, never the dialog default, so Enter stays with the control it is in.
QPushButton* MakeCommandButton(QWidget* parent, const char* name, const QString& caption,
                               const QString& toolTip = QString());

// Centres a window on its screen unless it has been placed already; with
// `takeIcon` it gets the application's icon.
void CenterForm(QWidget* w, bool takeIcon);

// Asks the input method of the focused widget for Hangul (true) or Latin
// (false) input: input method hints are as far as Qt goes.
void SetImeMode(bool hangul);

// Where PlaceFormAtControl puts a window across: left edges aligned, right
// edges aligned, centred over the anchor, or at the screen's left edge.
enum class PlaceAcross { AlignLeft = 0, AlignRight = 1, Centre = 2, ScreenLeft = 3 };
// Where it puts the window up and down: just below or just above the anchor.
enum class PlaceUpDown { Below = 3, Above = 4 };

// Moves a top-level window next to an anchor control, in screen coordinates.
// The size does not change.
void PlaceFormAtControl(QWidget* window, QWidget* anchor, PlaceAcross across, PlaceUpDown upDown);
// The same with the modes as numbers: across 0 to 2 as PlaceAcross (any other
// value the screen's left edge), up and down 4 above (any other value below).
void PlaceFormAtControl(QWidget* window, QWidget* anchor, int hMode, int vMode);

// Drops down the list of the focused control of the active window when that
// control is a combo box; nothing otherwise.
void CmbShowList();
// Sets how wide the dropped-down list is and how far it drops (twips).
void CmbSetSize(QComboBox* combo, int listWidthTwips, int heightTwips);
// Item data of the selected entry as a whole number (0 when the entry carries
// none), or `defaultValue` when no entry is selected.
int CmbGetItemData(QComboBox* combo, int defaultValue);

// Enter and Right move the focus to the next control in the window's tab
// order, Left to the previous one; other keys do nothing.
void KeyToTab(QWidget* from, Qt::Key key);
// The same with the key as a key code: kKeyCodeEnter, kKeyCodeRight, kKeyCodeLeft.
void KeyToTab(QWidget* from, int keyCode);
constexpr int kKeyCodeEnter = 13;
constexpr int kKeyCodeLeft = 37;
constexpr int kKeyCodeRight = 39;

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
} // namespace LaunchHook

// QDesktopServices::openUrl / QProcess::startDetached, or a record under the hook.
bool OpenUrl(const QUrl& url);
bool StartProgram(const QString& program, const QStringList& arguments = {});
