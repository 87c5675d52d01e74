/* Starts the library against the simulated backend beside it and reads the
   radio; exit code 0 when every step answered as it should. */
#include <stdio.h>

#include "vornel.h"

int main(void)
{
    BT_RADIO_INFO radio;
    int init = BT_Init();
    int query = init == BT_OK ? BT_QueryRadio(&radio) : init;
    printf("Vornel %d.%d.%d.%d: BT_Init %s, BT_QueryRadio %s\n", VORNEL_VERSION_MAJOR, VORNEL_VERSION_MINOR,
           VORNEL_VERSION_PATCH, VORNEL_VERSION_BUILD, BT_ResultName(init), BT_ResultName(query));
    if (init != BT_OK || query != BT_OK)
        return 1;
    printf("radio \"%s\"\n", radio.name);
    return BT_Exit() == 0 ? 0 : 1;
}
