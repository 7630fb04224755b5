#pragma once
#include <windows.h>

#include <functional>

namespace testkit {

// Processes this thread's messages until the condition holds or the limit
// passes; returns whether it held. The limit is generous: it only stops a
// test that would otherwise wait forever.
bool PumpUntil(const std::function<bool()>& condition, DWORD limitMs = 30000);

// Processes the messages that are waiting now.
void PumpPending();

} // namespace testkit
