#include "resample/weights.h"

#include <cmath>

#include "resample/kernels.h"
#include "pixel/heap.h"

namespace tvn::resample {

WEIGHT_TABLE* buildWeightTable(const FilterKernel& kernel, TVN_DWORD srcLen, TVN_DWORD dstLen) {
    if (srcLen == 0 || dstLen == 0) return nullptr;
    const double w = kernel.m_dWidth;
    const double s = static_cast<double>(dstLen) / static_cast<double>(srcLen);
    double window = w, scale = 1.0;
    if (s < 1.0) {
        window = w / s;
        scale = s;
    }
    // A window that would need more than 32-bit taps can never be allocated.
    const double half = std::ceil(window);
    if (!(half < 2147483647.0)) return nullptr;
    const TVN_DWORD maxTaps = 2 * static_cast<TVN_DWORD>(half) + 1;
    std::size_t spanBytes = 0, weightBytes = 0;
    if (!pixel::checkedSize(dstLen, sizeof(WEIGHT_SPAN), 1, &spanBytes) ||
        !pixel::checkedSize(maxTaps, sizeof(double), 1, &weightBytes))
        return nullptr;

    WEIGHT_TABLE* table = static_cast<WEIGHT_TABLE*>(pixel::heapAlloc(sizeof(WEIGHT_TABLE)));
    if (!table) return nullptr;
    table->pSpans = static_cast<WEIGHT_SPAN*>(pixel::heapAllocZero(spanBytes));
    table->nMaxTaps = maxTaps;
    table->nCount = dstLen;
    if (!table->pSpans) {
        releaseWeightTable(table);
        return nullptr;
    }
    for (TVN_DWORD i = 0; i < dstLen; ++i) {
        WEIGHT_SPAN& span = table->pSpans[i];
        span.pWeights = static_cast<double*>(pixel::heapAlloc(weightBytes));
        if (!span.pWeights) {
            releaseWeightTable(table);
            return nullptr;
        }
        const double c = static_cast<double>(i) / s + 0.00001;
        const long long last = static_cast<long long>(srcLen) - 1;
        long long first = static_cast<long long>(std::floor(c - window));
        if (first < 0) first = 0;
        long long end = static_cast<long long>(std::ceil(c + window));
        if (end >= last) end = last;
        // The window can hold one sample more than the taps; drop one end.
        if (end - first + 1 > static_cast<long long>(maxTaps)) {
            if (first < last) ++first;
            else --end;
        }
        span.nFirst = static_cast<TVN_DWORD>(first);
        span.nLast = static_cast<TVN_DWORD>(end);
        double sum = 0.0;
        for (long long j = first; j <= end; ++j) {
            double v = scale * kernel.evaluate(scale * (c - static_cast<double>(j)));
            span.pWeights[j - first] = v;
            sum += std::fabs(v);
        }
        // No source sample under the kernel: the weights stay 0, the sample is 0.
        if (sum > 0.0)
            for (long long j = first; j <= end; ++j) span.pWeights[j - first] /= sum;
    }
    return table;
}

void releaseWeightTable(WEIGHT_TABLE* table) {
    if (!table) return;
    if (table->pSpans)
        for (TVN_DWORD i = 0; i < table->nCount; ++i) pixel::heapFree(table->pSpans[i].pWeights);
    pixel::heapFree(table->pSpans);
    pixel::heapFree(table);
}

} // namespace tvn::resample
