// Holds a Wine session open while the suite runs: with one program alive,
// Wine's own service processes start once instead of once per test. Ended by
// `wineserver -k`; gives up by itself after an hour.
#include <windows.h>

int main()
{
    Sleep(60 * 60 * 1000);
    return 0;
}
