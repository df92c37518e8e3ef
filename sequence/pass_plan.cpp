#include "sequence/pass_plan.h"

namespace tvn {
namespace sequence {

// The window of a pass as 32-bit signed arithmetic gives it, then held to the
// frames that exist (a window of more than 2^31 frames could otherwise wrap).
void windowOf(unsigned n, unsigned c, unsigned behind, unsigned ahead, unsigned* first, unsigned* last) {
    const int before = static_cast<int>(c - behind);
    *first = before >= 0 ? static_cast<unsigned>(before) : 0;
    const int after = static_cast<int>(c + ahead);
    *last = static_cast<int>(n - 1) >= after ? static_cast<unsigned>(after) : n - 1;
    if (*last > n - 1) *last = n - 1;
}

void loadingOrder(unsigned c, unsigned first, unsigned last, std::vector<unsigned>* order) {
    order->clear();
    if (first > last) return;
    order->reserve(last - first + 1);
    for (unsigned i = c; i <= last && i >= c; ++i) order->push_back(i);
    for (unsigned i = c; i-- > first;) order->push_back(i);
}

} // namespace sequence
} // namespace tvn
