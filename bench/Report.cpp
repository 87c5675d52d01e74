#include "Report.h"

#include <cpuid.h>

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
    return {ProcessorBrand(), static_cast<unsigned>(info.dwNumberOfProcessors), System()};
}

void PrintTable(const Machine& machine, int repetitions, const std::vector<Comparison>& figures)
{
    printf("%s, %u logical processors; %s\n", machine.processor.c_str(), machine.processors,
           machine.system.c_str());
    printf("Each figure: median, min and max of %d batches, subject and baseline alternating;\n"
           "added: the subject's median less the baseline's.\n\n",
           repetitions);
    printf("%-58s %-10s %10s %10s %10s %10s %7s %s\n", "measure", "unit", "median", "min", "max",
           "added", "ratio", "target");
    for (const Comparison& figure : figures) {
        const Measure& measure = figure.measure;
        char target[32] = "";
        if (measure.target)
            snprintf(target, sizeof target, "<= %.2f %s", measure.target, figure.Met() ? "met" : "MISSED");
        printf("%-58s %-10s %10.2f %10.2f %10.2f %+10.2f %7.3f %s\n", measure.subject.c_str(),
               measure.unit.c_str(), figure.subject.median, figure.subject.min, figure.subject.max,
               figure.Added(), figure.Ratio(), target);
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
    fprintf(file, "{\n  \"machine\": {\"processor\": %s, \"processors\": %u, \"system\": %s},\n",
            Quoted(machine.processor).c_str(), machine.processors, Quoted(machine.system).c_str());
    fprintf(file, "  \"repetitions\": %d,\n  \"figures\": [\n", repetitions);
    for (size_t i = 0; i < figures.size(); ++i) {
        const Comparison& figure = figures[i];
        const Measure& measure = figure.measure;
        fprintf(file, "    {\"unit\": %s, \"operationsPerBatch\": %d,\n", Quoted(measure.unit).c_str(),
                measure.operations);
        fprintf(file, "     \"subject\": %s,\n", SpreadJson(measure.subject, figure.subject).c_str());
        fprintf(file, "     \"baseline\": %s,\n", SpreadJson(measure.baseline, figure.baseline).c_str());
        fprintf(file, "     \"added\": %.4g, \"ratio\": %.4g, ", figure.Added(), figure.Ratio());
        if (measure.target)
            fprintf(file, "\"target\": %.4g, \"met\": %s}", measure.target, figure.Met() ? "true" : "false");
        else
            fprintf(file, "\"target\": null, \"met\": null}");
        fprintf(file, "%s\n", i + 1 < figures.size() ? "," : "");
    }
    fprintf(file, "  ]\n}\n");
    return fclose(file) == 0;
}
