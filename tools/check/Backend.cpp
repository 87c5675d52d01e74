#include "Backend.h"

namespace {

template <typename F>
void Bind(HMODULE module, const char* name, F& function)
{
    function = reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

Backend::Backend(const std::wstring& path)
    : module(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH))
{
    if (!module) {
        loadError = GetLastError();
        return;
    }
#define VORNEL_FUNCTION(name) Bind(module, #name, name);
#include "BtFunctions.h"
#undef VORNEL_FUNCTION
}

Backend::~Backend()
{
    if (module)
        FreeLibrary(module);
}

std::vector<std::string> Backend::Missing() const
{
    std::vector<std::string> missing;
#define VORNEL_FUNCTION(name) \
    if (!name)                \
        missing.push_back(#name);
#include "BtFunctions.h"
#undef VORNEL_FUNCTION
    return missing;
}
