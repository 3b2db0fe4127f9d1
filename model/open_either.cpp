#include "model/open_either.h"

#include "model/kesh.h"
#include "model/verro3.h"

int OpenEitherLayoutPath(const char* path, bool* kesh) {
    bool marked = HasKeshMark(path);
    if (kesh) {
        *kesh = marked;
    }
    return marked ? OpenKeshPath(path) : OpenVerro3Path(path);
}
