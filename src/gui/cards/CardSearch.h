#pragma once

#include <QString>

class QWidget;

// Turns a card-company name typed into the ledger sheet into a card code.
// Asks the card picker how many card companies match `name`; one match is
// taken at once, several show the picker at `anchor` (across as the
// PlaceAcross number `placeMode`, below the anchor), none offers to register a new card through
// the card editor (when `allowNew`). Returns the chosen card's name and sets
// `cardCode` (0 and an empty name when nothing was chosen) and `newCard`
// (true when the user agreed to register one).
//
// It lives with the card windows because it drives them; the core layer
// does not know about windows.
QString SearchCard(const QString& cardDbPath, const QString& name, int* cardCode, QWidget* anchor, int placeMode,
                   bool allowNew, bool* newCard);
