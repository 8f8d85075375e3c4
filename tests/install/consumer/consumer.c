/* A host program built against an installed qel2caldb: it creates and
 * releases one record through the library, with the stand-in host's
 * services, and prints the library's level name for errors. */
#include <stdio.h>

#include <qel2/qel2.h>

int main(void) {
    qEL2_VEVENT* event = qel2_NewEvent();
    if (event == NULL) return 1;
    qel2_FreeEvent(&event);
    if (event != NULL) return 1;
    printf("consumer ok\n");
    return 0;
}
