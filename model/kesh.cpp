#include "model/kesh.h"

// Not built yet: the buttons do nothing.
int OpenKeshFile() {
    return 0;
}

int SaveKeshFile() {
    return 0;
}
