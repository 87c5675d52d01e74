#pragma once
#include "Logger.h"

// The sink base with nothing of its own, to look at the lines it builds.
class LineSink : public Logger {
public:
    void Write(const char*) override {}
};
