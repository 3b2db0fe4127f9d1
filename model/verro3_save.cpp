#include "model/verro3_save.h"

// Not built yet: the button does nothing.
int SaveVerro3File() {
    return 0;
}
