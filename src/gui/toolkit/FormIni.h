#pragma once

#include <QString>

class QWidget;
class SpreadGrid;

// Window and grid layouts kept in FormIni/<window name>.ini (IniFormat):
// section "FormPosition" (WindowState, Left, Top, Width, Height in twips),
// "<grid>_ColsWidth" (column number = width in the grid's unit) and
// "<grid>_General" (FontSize, RowHeight as typed in the grid menu; 0 = none).
// Window and grid names are their objectName(). Only the first nine
// characters of a stored value count; values that are not numbers are ignored.

QString FormIniPath(const QString& windowName);
void LoadFormIni(QWidget* window);
void LoadSpreadIni(SpreadGrid* grid, const QString& path);
void SaveFormIni(QWidget* window);
void SaveSpreadIni_Col(QWidget* window, SpreadGrid* grid, int col);
void SaveSpreadIni_Gn(QWidget* window, SpreadGrid* grid, const QString& key, const QString& value);
// The same for a view that is no grid: section "<name>_ColsWidth" or "<name>_General".
void SaveLayoutValue(QWidget* window, const QString& section, const QString& key, const QString& value,
                     const QString& procedure);
QString LayoutWidthText(double width);
void DelFormIni(const QString& windowName);
