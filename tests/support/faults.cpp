#include "support/faults.h"
#include "pixel/block_cache.h"

namespace tvntest {

void failNth(unsigned kinds, unsigned long n) {
    tvn::pixel::blocks::releaseAll();
    calls::failNthCall(kinds, n);
}

void endFaults() {
    calls::clearFaults();
}

} // namespace tvntest
