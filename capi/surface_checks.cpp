// The library defines every function of the C table (tivorn/c_functions.inc)
// with exactly the signature of its entry, or it does not build.
// - The table's prototypes are in scope of every definition: each defining file
//   includes the public header that declares it (capi/ includes tivorn.h). A
//   definition whose parameters or result differ from its entry is then a
//   conflicting declaration of a C function, or, written outside extern "C", a
//   new C++ overload, which capi/'s -Wmissing-declarations refuses.
// - Here each entry's address is taken as a pointer of its declared type, which
//   only the definition of that very signature satisfies; without it the library
//   does not link (the DLL always, libtivorn.so through -z defs). OPTIONAL
//   entries are left out: a library may lack them (the export check allows that).
#include "tivorn.h"

namespace tvn {
namespace capi {

// The list undefines TVN_FUNCTION after each use.
#define TVN_FUNCTION(header, availability, result, name, parameters, doc) \
    TVN_MEMBER_##availability(result, name, parameters)
#define TVN_MEMBER_ALWAYS(result, name, parameters) result(TVN_CDECL* name) parameters;
#define TVN_MEMBER_OPTIONAL(result, name, parameters)
// One typed pointer per entry the library always defines.
struct CFunctions {
#include "tivorn/c_functions.inc"
};

#define TVN_FUNCTION(header, availability, result, name, parameters, doc) \
    TVN_MEMBER_##availability(result, name, parameters)
#undef TVN_MEMBER_ALWAYS
#define TVN_MEMBER_ALWAYS(result, name, parameters) &::name,
// Defined, not only declared, so that its references reach the linker.
extern const CFunctions cFunctions;
const CFunctions cFunctions = {
#include "tivorn/c_functions.inc"
};
#undef TVN_MEMBER_ALWAYS
#undef TVN_MEMBER_OPTIONAL

} // namespace capi
} // namespace tvn
