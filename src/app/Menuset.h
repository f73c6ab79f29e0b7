#pragma once

class QAction;

// Recomputes the enabled, checked and visible state of the main window's
// actions, menus and tool buttons and the texts of the six status-bar panels
// from the shared state. Runs after every command that changes that state.
void MenuesSetzen();

// A command whose window or code is not part of the program yet stays in its
// menu but disabled, whatever the rules say. The rules' own verdict is kept
// on the action, so the command follows the rules as soon as it is made
// available.
void AktionNochNichtVerfuegbar(QAction* aktion);
void AktionVerfuegbarMachen(QAction* aktion);
bool AktionVerfuegbar(const QAction* aktion);
// What the rules of MenuesSetzen last decided for the action (its enabled
// state when it is available).
bool AktionRegelFrei(const QAction* aktion);
// Sets the rules' verdict and the visible enabled state together.
void AktionFreigeben(QAction* aktion, bool frei);
