#pragma once

// Window positions and sizes are kept in twips (1440 to the inch), as the
// layout files store them; they become pixels only here, with the screen's
// logical DPI (96 DPI: 15 twips a pixel).
double TwipsPerPixelX();
double TwipsPerPixelY();
int TwipsToPixelsX(double twips);
int TwipsToPixelsY(double twips);
double PixelsToTwipsX(int pixels);
double PixelsToTwipsY(int pixels);
