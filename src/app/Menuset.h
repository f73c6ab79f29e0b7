#pragma once

class QAction;

// Recomputes the enabled, checked and visible state of the main window's
// actions, menus and tool buttons and the texts of the six status-bar panels
// from the shared state. Runs after every command that changes that state.
void MenuesSetzen();

// Only the zoom panel of the status bar, from ZoomFaktor; the display sets
// it whenever it lays the picture out.
void ZoomPanelSetzen();

// What the rules of MenuesSetzen last decided for the action.
bool AktionRegelFrei(const QAction* aktion);
// Sets the rules' verdict and the visible enabled state together.
void AktionFreigeben(QAction* aktion, bool frei);
