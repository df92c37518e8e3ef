#include "pixel/bands.h"

#include <atomic>

namespace tvn::pixel {

LineBands::LineBands(TVN_DWORD count, TVN_DWORD grain, TVN_DWORD minimum)
    : m_count(count), m_grain(grain ? grain : 1), m_pieces(0) {
    const TVN_DWORD whole = m_count / m_grain, rest = m_count % m_grain;
    m_pieces = whole + (rest != 0);
    if (rest != 0 && rest < minimum && whole > 0) --m_pieces;
}

namespace {
// TODO thresholds measured below
double g_measured[3] = {1 << 20, 1 << 18, 1 << 20};
std::atomic<double> g_override{-1.0};
} // namespace

unsigned helpersFor(BandCost kind, double amount) {
    const double override = g_override.load(std::memory_order_relaxed);
    const double threshold = override >= 0 ? override : g_measured[static_cast<int>(kind)];
    if (threshold <= 0) return WorkerPool::kMaxCount;
    if (amount < threshold) return 0;
    const double helpers = amount / threshold;
    return helpers >= WorkerPool::kMaxCount ? WorkerPool::kMaxCount : static_cast<unsigned>(helpers);
}

namespace testing {
void setBandThreshold(double amount) {
    g_override = amount;
}
} // namespace testing

} // namespace tvn::pixel
