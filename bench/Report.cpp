#include "Report.h"

#include <cpuid.h>
#include <x86intrin.h>

#include <cstdio>
#include <cstring>

namespace {

std::string ProcessorBrand()
{
    unsigned words[12] = {};
    for (unsigned leaf = 0; leaf < 3; ++leaf)
        __get_cpuid(0x80000002u + leaf, &words[leaf * 4], &words[leaf * 4 + 1], &words[leaf * 4 + 2],
                    &words[leaf * 4 + 3]);
    std::string brand(reinterpret_cast<const char*>(words), sizeof words);
    brand.resize(strnlen(brand.c_str(), sizeof words));
    const size_t first = brand.find_first_not_of(' ');
    return first == std::string::npos ? "unknown" : brand.substr(first);
}

// Under Wine, ntdll tells its version and the host system's.
std::string System()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto wineVersion = reinterpret_cast<const char*(__cdecl*)()>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
    auto hostVersion = reinterpret_cast<void(__cdecl*)(const char**, const char**)>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_host_version")));
    if (!wineVersion || !hostVersion)
        return "Windows";
    const char* name = "";
    const char* release = "";
    hostVersion(&name, &release);
    return std::string("Wine ") + wineVersion() + " on " + name + " " + release;
}

// The time-stamp counter's rate, against the performance counter.
double CyclesPerSecond()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const unsigned long long startCycles = __rdtsc();
    do
        QueryPerformanceCounter(&now);
    while (now.QuadPart - start.QuadPart < frequency.QuadPart / 10);
    const double seconds = double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    return double(__rdtsc() - startCycles) / seconds;
}

// A limit as the table prints it, two decimals.
std::string Fixed(double value)
{
    char text[32];
    snprintf(text, sizeof text, "%.2f", value);
    return text;
}

// JSON strings here are plain ASCII text of this program's own.
std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
    return quoted + "\"";
}

std::string SpreadJson(const std::string& name, const Spread& spread)
{
    char numbers[160];
    snprintf(numbers, sizeof numbers, "\"median\": %.4g, \"min\": %.4g, \"max\": %.4g", spread.median,
             spread.min, spread.max);
    return "{\"name\": " + Quoted(name) + ", " + numbers + "}";
}

}  // namespace

Machine ThisMachine()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
#ifdef _WIN64
    const char* edition = "x64";
#else
    const char* edition = "x86";
#endif
    // The Wine wrapper says where this edition runs under a CPU emulator.
    const bool emulated = GetEnvironmentVariableA("VORNEL_EMULATED_CPU", nullptr, 0) != 0;
    return {ProcessorBrand(), static_cast<unsigned>(info.dwNumberOfProcessors), System(), edition,
            emulated ? "emulated" : "native", CyclesPerSecond()};
}

static double AddedCycles(const Machine& machine, const Comparison& figure)
{
    return figure.Added() / figure.measure.unitsPerSecond * machine.cyclesPerSecond;
}

void PrintTable(const Machine& machine, int repetitions, const std::vector<Comparison>& figures)
{
    printf("Edition %s, %s; %s, %u logical processors, TSC %.2f GHz; %s\n", machine.edition.c_str(),
           machine.run.c_str(), machine.processor.c_str(), machine.processors,
           machine.cyclesPerSecond / 1e9, machine.system.c_str());
    printf("Each figure: median, min and max of %d batches, subject and baseline alternating;\n"
           "added: the subject's median less the baseline's, also in TSC cycles.\n\n",
           repetitions);
    printf("%-58s %-10s %10s %10s %10s %10s %9s %7s %-8s %s\n", "measure", "unit", "median", "min", "max",
           "added", "cycles", "ratio", "run", "target");
    for (const Comparison& figure : figures) {
        const Measure& measure = figure.measure;
        // Every limit the figure is held to, as Met() checks them all.
        std::string target;
        if (measure.maxRatio)
            target += "ratio <= " + Fixed(measure.maxRatio) + " ";
        if (measure.maxAdded)
            target += "added <= " + Fixed(measure.maxAdded) + " ";
        if (figure.HasTarget())
            target += figure.Met() ? "met" : "MISSED";
        printf("%-58s %-10s %10.2f %10.2f %10.2f %+10.2f %+9.1f %7.3f %-8s %s\n", measure.subject.c_str(),
               measure.unit.c_str(), figure.subject.median, figure.subject.min, figure.subject.max,
               figure.Added(), AddedCycles(machine, figure), figure.Ratio(), machine.run.c_str(), target.c_str());
        printf("  %-56s %-10s %10.2f %10.2f %10.2f\n", ("vs " + measure.baseline).c_str(),
               measure.unit.c_str(), figure.baseline.median, figure.baseline.min, figure.baseline.max);
    }
}

bool WriteJson(const std::string& path, const Machine& machine, int repetitions,
               const std::vector<Comparison>& figures)
{
    FILE* file = fopen(path.c_str(), "w");
    if (!file)
        return false;
    fprintf(file, "{\n  \"edition\": %s, \"run\": %s,\n", Quoted(machine.edition).c_str(),
            Quoted(machine.run).c_str());
    fprintf(file, "  \"machine\": {\"processor\": %s, \"processors\": %u, \"system\": %s, \"tscHz\": %.4g},\n",
            Quoted(machine.processor).c_str(), machine.processors, Quoted(machine.system).c_str(),
            machine.cyclesPerSecond);
    fprintf(file, "  \"repetitions\": %d,\n  \"figures\": [\n", repetitions);
    for (size_t i = 0; i < figures.size(); ++i) {
        const Comparison& figure = figures[i];
        const Measure& measure = figure.measure;
        fprintf(file, "    {\"unit\": %s, \"operationsPerBatch\": %d,\n", Quoted(measure.unit).c_str(),
                measure.operations);
        fprintf(file, "     \"subject\": %s,\n", SpreadJson(measure.subject, figure.subject).c_str());
        fprintf(file, "     \"baseline\": %s,\n", SpreadJson(measure.baseline, figure.baseline).c_str());
        fprintf(file, "     \"added\": %.4g, \"addedCycles\": %.4g, \"ratio\": %.4g, \"run\": %s,\n",
                figure.Added(), AddedCycles(machine, figure), figure.Ratio(), Quoted(machine.run).c_str());
        const auto limit = [](double value) { return value ? std::to_string(value) : std::string("null"); };
        fprintf(file, "     \"maxRatio\": %s, \"maxAdded\": %s, \"met\": %s}", limit(measure.maxRatio).c_str(),
                limit(measure.maxAdded).c_str(),
                figure.HasTarget() ? (figure.Met() ? "true" : "false") : "null");
        fprintf(file, "%s\n", i + 1 < figures.size() ? "," : "");
    }
    fprintf(file, "  ]\n}\n");
    return fclose(file) == 0;
}
