#pragma once
// The benchmark's results, as a table for people and as JSON for programs.
#include <string>
#include <vector>

#include "Measure.h"

struct Machine {
    std::string processor;
    unsigned processors;
    std::string system;   // what the program runs on
    std::string edition;  // x86 or x64
    std::string run;      // "native", or "emulated" where a CPU emulator runs this edition
    double cyclesPerSecond;  // of the time-stamp counter, for figures in cycles
};

Machine ThisMachine();
void PrintTable(const Machine& machine, int repetitions, const std::vector<Comparison>& figures);
bool WriteJson(const std::string& path, const Machine& machine, int repetitions,
               const std::vector<Comparison>& figures);
