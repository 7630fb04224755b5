#pragma once
// The rule engine's host functions for user mode, with the controls the unit
// test needs: allocations that fail on purpose, a count of live blocks and of
// shared locks held.
namespace enginehost {

// The next count allocations succeed, every one after them fails; -1 = none fails.
void FailAllocationsAfter(long count);
long LiveBlocks();
// Shared engine locks taken and not yet given back.
long SharedLocksHeld();

} // namespace enginehost
