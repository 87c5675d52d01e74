#pragma once
// The unit tests' program counts its own heap allocations: every
// operator new in it, the log sources linked in among them.
namespace allocationCount {
long Made();
}
