// Memory advice on Windows: large pages need a privilege hosts seldom hold, so
// the advice is not taken.
#include "../platform.h"

namespace tvn {
namespace plat {

void adviseHugePages(void*, std::size_t) {}

} // namespace plat
} // namespace tvn
