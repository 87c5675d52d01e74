#pragma once
#include <cstdint>

enum class LogLevel : int32_t {
    TRACE = 0,
    DEBUG = 1,
    INFO = 2,
    WARN = 3,
    ERROR = 4,
    FATAL = 5,
    NONE = 6,
};

inline constexpr int levelCount = 7;
inline constexpr int levelNameLength = 5;  // every printed name, "?????" too

// Five printed characters and two zero bytes per slot, indexed by level.
extern const char levelNames[levelCount][7];
