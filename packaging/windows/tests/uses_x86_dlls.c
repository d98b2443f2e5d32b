/* A 32-bit program of a library user: built against the installed headers and import
 * libraries, it must import every function by the plain name the DLLs export. */
#include <stdio.h>

#include "DriftboxClient.h"
#include "IDriftUartPipe.h"
#include "zotlink.h"

int main(int argc, char** argv) {
    int32_t error = 0;
    (void)argv;
    if (argc > 1) {
        printf("%d\n", (int)ZOT_SetBaudrate(115200));
        printf("%d\n", (int)DriftboxClient_COM_Start(&error, 1, 115200));
    }
    printf("%d %d\n", (int)ZOT_LumoUninit(), (int)UnInitUartPipeExt(NULL));
    return 0;
}
