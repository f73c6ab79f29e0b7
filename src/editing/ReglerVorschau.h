#pragma once
#include <functional>

class QSlider;

// Runs the preview of a slider step with that slider disabled, so that no
// second preview starts from it meanwhile; pending events are let through
// once before the preview, which enables the slider again. Disabling moves
// the keyboard focus on to the next control: keys typed meanwhile are dropped
// instead of moving that control, and the focus comes back to the slider
// afterwards, so the arrow keys go on acting on the slider the user is on.
void ReglerVorschau(QSlider* regler, const std::function<void()>& vorschau);
