/* Calls into each installed library; none of these calls needs a terminal. */
#include <DriftboxClient.h>
#include <IDriftUartPipe.h>
#include <stdio.h>
#include <zotlink.h>

int main(void) {
    DriftUartPipe* pipe = InitUartPipe();
    const int ok = pipe != NULL && UnInitUartPipe(pipe) == 0;
    /* No session is open, so the library answers without touching a port. */
    ZOT_LumoUninit();
    DriftboxClient_ShutDown(0, 0);
    printf("consumer %s\n", ok ? "ok" : "failed");
    return ok ? 0 : 1;
}
