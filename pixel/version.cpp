#include "tivorn/host.h"

#define TVN_STR2(x) #x
#define TVN_STR(x) TVN_STR2(x)

extern "C" TVN_API const char* TVN_CDECL tvnVersion(void) {
    return TVN_STR(TIVORN_VERSION_MAJOR) "." TVN_STR(TIVORN_VERSION_MINOR) "." TVN_STR(TIVORN_VERSION_PATCH);
}
