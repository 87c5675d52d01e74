#include "LogLevel.h"

const char levelNames[levelCount][7] = {
    "TRACE", "DEBUG", "INFO ", "WARN ", "ERROR", "FATAL", "NONE ",
};
