#pragma once
// The backend contract of vornel.h as checks that hold for any world: they
// discover the radio, devices and services the backend reports.
#include <string>
#include <vector>

#include "Backend.h"

enum class Status { Pass, Fail, Skip };

struct Verdict {
    Status status;
    std::string detail;  // what was expected and what came back, or why skipped
};

struct Check {
    std::string name;
    Verdict (*run)(Backend& backend);
};

// In the order they are run and reported.
const std::vector<Check>& AllChecks();

// How long a check waits for a discovery's final call, within the check's own
// time limit, so that a missing final call fails as that and not as a hang.
void WaitForDiscoveriesAtMost(unsigned long milliseconds);
