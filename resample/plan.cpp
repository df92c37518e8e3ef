#include "resample/plan.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "pixel/heap.h"
#include "resample/simd.h"

namespace tvn::resample {

bool fitsReference(double v, std::uint32_t m) {
    bool ok = true;
    for (int c = 0; c < 256; ++c) {
        std::uint32_t q = (static_cast<std::uint32_t>(c) * m) >> 16;
        ok &= static_cast<std::uint32_t>(static_cast<int>(c * v)) == q;
    }
    return ok;
}

WeightClass classifyWeight(double v, std::uint32_t* mult) {
    const simd::Ops* ops = simd::select();
    bool (*fits)(double, std::uint32_t) = ops ? ops->fits : fitsReference;
    *mult = 0;
    // The products grow with c; when the largest truncates to 0, all do.
    if (static_cast<int>(255 * v) == 0) return kWeightZero;
    if (!(v > 0.0) || v > 1.0) return kWeightNone;
    const double scaled = v * 65536.0;
    const std::uint32_t up = static_cast<std::uint32_t>(std::ceil(scaled));
    const std::uint32_t down = static_cast<std::uint32_t>(std::floor(scaled));
    for (std::uint32_t m : {up, down}) {
        if (m > 65536 || !fits(v, m)) continue;
        *mult = m;
        return m == 65536 ? kWeightIdentity : kWeightRegular;
    }
    return kWeightNone;
}

namespace {
class WeightMemo {
public:
    WeightMemo() : m_used() {}
    WeightClass classify(double v, std::uint32_t* mult) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        const unsigned slot = static_cast<unsigned>((bits ^ (bits >> 21) ^ (bits >> 42)) & (kSlots - 1));
        if (!m_used[slot] || m_bits[slot] != bits) {
            m_used[slot] = true;
            m_bits[slot] = bits;
            m_class[slot] = classifyWeight(v, &m_mult[slot]);
        }
        *mult = m_mult[slot];
        return m_class[slot];
    }

private:
    static const unsigned kSlots = 256;
    bool m_used[kSlots];
    std::uint64_t m_bits[kSlots];
    std::uint32_t m_mult[kSlots];
    WeightClass m_class[kSlots];
};
} // namespace

bool buildPlan(const WEIGHT_TABLE& table, std::size_t stride, ScalePlan* plan) {
    plan->table = &table;
    plan->taps = nullptr;
    std::size_t spanBytes = 0, tapBytes = 0;
    if (!pixel::checkedSize(table.nCount, sizeof(PlanSpan), 1, &spanBytes) ||
        !pixel::checkedSize(table.nCount, table.nMaxTaps, sizeof(PlanTap), &tapBytes))
        return false;
    pixel::HeapBlock spans(pixel::heapAlloc(spanBytes)), taps(pixel::heapAlloc(tapBytes));
    if (!spans.get() || !taps.get()) return false;
    PlanSpan* ps = spans.as<PlanSpan>();
    PlanTap* pt = taps.as<PlanTap>();
    std::size_t next = 0;
    // Spans of a ratio of small integers repeat their weights: remember answers.
    WeightMemo memo;
    for (TVN_DWORD i = 0; i < table.nCount; ++i) {
        const WEIGHT_SPAN& span = table.pSpans[i];
        PlanSpan& out = ps[i];
        out.kind = kSpanGeneral;
        out.count = 0;
        out.tapIndex = next;
        bool identity = false;
        for (TVN_DWORD j = span.nFirst; j <= span.nLast; ++j) {
            std::uint32_t mult = 0;
            const WeightClass kind = memo.classify(span.pWeights[j - span.nFirst], &mult);
            if (kind == kWeightZero) continue;
            if (kind == kWeightNone) {
                out.kind = kSpanExact;
                break;
            }
            identity |= kind == kWeightIdentity;
            pt[next].offset = static_cast<std::size_t>(j) * stride;
            pt[next].mult = mult | (mult << 16);
            ++next;
            ++out.count;
        }
        if (out.kind == kSpanGeneral && identity) {
            // Weight 1 leaves no room for another contributing weight; if one
            // shows up all the same, the doubles decide.
            out.kind = out.count == 1 ? kSpanCopy : kSpanExact;
        }
        if (out.kind == kSpanExact) {
            next = out.tapIndex;
            out.count = 0;
        }
    }
    plan->spans = static_cast<PlanSpan*>(spans.release());
    plan->taps = static_cast<PlanTap*>(taps.release());
    return true;
}

void releasePlan(ScalePlan* plan) {
    pixel::heapFree(plan->spans);
    pixel::heapFree(plan->taps);
    plan->spans = nullptr;
    plan->taps = nullptr;
}

void exactUnit(const unsigned char* base, std::size_t stride, const WEIGHT_SPAN& span, unsigned char* out) {
    unsigned char acc[64] = {0};
    const double* w = span.pWeights;
    for (TVN_DWORD j = span.nFirst; j <= span.nLast; ++j, ++w) {
        const unsigned char* p = base + static_cast<std::size_t>(j) * stride;
        const double v = *w;
        for (int b = 0; b < 64; ++b) acc[b] = static_cast<unsigned char>(acc[b] + static_cast<int>(p[b] * v));
    }
    std::memcpy(out, acc, sizeof acc);
}

} // namespace tvn::resample
