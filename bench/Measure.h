#pragma once
// Timing of batches, and the spread of repeated batches.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

struct Spread {
    double median;
    double min;
    double max;
};

inline Spread SpreadOf(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples.front(), samples.back()};
}

// Seconds per operation of one batch of operations.
template <typename Body>
double SecondsPerOperation(int operations, Body body)
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    body(operations);
    QueryPerformanceCounter(&end);
    return double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart) / operations;
}

// What one figure compares, and how it is shown.
struct Measure {
    std::string subject;
    std::string baseline;
    std::string unit;
    double unitsPerSecond;
    double maxRatio;  // the greatest subject/baseline ratio allowed, or 0 for none
    double maxAdded;  // the most the subject may add to the baseline, in `unit`, or 0 for none
    int operations;   // per batch
};

struct Comparison {
    Measure measure;
    Spread subject;
    Spread baseline;

    double Ratio() const { return subject.median / baseline.median; }
    double Added() const { return subject.median - baseline.median; }
    bool HasTarget() const { return measure.maxRatio != 0 || measure.maxAdded != 0; }
    bool Met() const
    {
        return (measure.maxRatio == 0 || Ratio() <= measure.maxRatio) &&
               (measure.maxAdded == 0 || Added() <= measure.maxAdded);
    }
};

// Times subject and baseline in alternate batches, so that a change in the
// machine's pace touches both alike.
template <typename Subject, typename Baseline>
Comparison Compare(const Measure& measure, int repetitions, Subject subject, Baseline baseline)
{
    std::vector<double> subjectSamples;
    std::vector<double> baselineSamples;
    subject(measure.operations);  // warms caches, first-use paths and files
    baseline(measure.operations);
    for (int i = 0; i < repetitions; ++i) {
        subjectSamples.push_back(SecondsPerOperation(measure.operations, subject) *
                                 measure.unitsPerSecond);
        baselineSamples.push_back(SecondsPerOperation(measure.operations, baseline) *
                                  measure.unitsPerSecond);
    }
    return {measure, SpreadOf(subjectSamples), SpreadOf(baselineSamples)};
}
