#pragma once

class QHelpEvent;
class QListWidget;

// Tool tip of a list whose entries may be cut off: only an entry at least as
// wide as the list's client area gets one, with its whole text laid over the
// entry itself, and it is renewed when the mouse moves to another entry. No
// entry under the mouse, or one that fits: no tool tip. Call it for the
// QEvent::ToolTip of the list's viewport; the event counts as handled.
bool ListenHinweisZeigen(QListWidget* liste, QHelpEvent* ereignis);
