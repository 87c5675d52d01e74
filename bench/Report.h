#pragma once
// The benchmark's results, as a table for people and as JSON for programs.
#include <string>
#include <vector>

#include "Measure.h"

struct Machine {
    std::string processor;
    unsigned processors;
    std::string system;  // what the program runs on
};

Machine ThisMachine();
void PrintTable(const Machine& machine, int repetitions, const std::vector<Comparison>& figures);
bool WriteJson(const std::string& path, const Machine& machine, int repetitions,
               const std::vector<Comparison>& figures);
