// A DLL that one defective backend imports and that its tests leave out.
extern "C" __declspec(dllexport) int __cdecl VornelTestDependency()
{
    return 0;
}
