#pragma once
// The rule engine's host functions for user mode, with the controls the unit
// test needs: allocations that fail on purpose and a count of live blocks.
namespace enginehost {

// The next count allocations succeed, every one after them fails; -1 = none fails.
void FailAllocationsAfter(long count);
long LiveBlocks();

} // namespace enginehost
