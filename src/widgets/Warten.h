#pragma once
#include <functional>

// Waits on the GUI thread for work done elsewhere (a worker's next result)
// and keeps the windows alive meanwhile: asks fertig() and, while it says
// no, hands out the pending messages for up to 10 ms. fertig() may block
// briefly itself (a worker's queue with a short time-out), so the wait
// neither spins the processor nor freezes the windows.
void MitNachrichtenWarten(const std::function<bool()>& fertig);
