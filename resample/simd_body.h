// The primitives written once over a register wrapper V. Each simd_*.cpp defines
// TVN_SIMD_TARGET and V (with kBytes bytes per register) and includes this file
// inside its own unnamed namespace, so every instantiation carries its target.
//
// Channels are widened to 16-bit lanes by unpacking against zero within each
// 128-bit lane; packing back within the lanes restores the byte order.

template <class V>
TVN_SIMD_TARGET inline void combineUnit(const unsigned char* base, const tvn::resample::PlanTap* taps, std::uint32_t n,
                                        std::size_t off, unsigned char* out) {
    const int N = 64 / V::kBytes;
    typename V::reg lo[N], hi[N];
    for (int k = 0; k < N; ++k) lo[k] = hi[k] = V::zero();
    for (std::uint32_t t = 0; t < n; ++t) {
        const unsigned char* p = base + taps[t].offset + off;
        const typename V::reg m = V::set1(taps[t].mult);
        for (int k = 0; k < N; ++k) {
            const typename V::reg x = V::load(p + k * V::kBytes);
            lo[k] = V::add(lo[k], V::mulhi(V::lo(x), m));
            hi[k] = V::add(hi[k], V::mulhi(V::hi(x), m));
        }
    }
    // The 8-bit accumulators: the sums modulo 256.
    for (int k = 0; k < N; ++k) V::store(out + off + k * V::kBytes, V::pack(V::low8(lo[k]), V::low8(hi[k])));
}

template <class V>
TVN_SIMD_TARGET void combineImpl(const tvn::resample::simd::CombineJob& job) {
    for (TVN_DWORD i = 0; i < job.count; ++i) {
        const tvn::resample::PlanSpan& span = job.plan->spans[job.first + i];
        const tvn::resample::PlanTap* taps = job.plan->taps + span.tapIndex;
        unsigned char* out = job.out + static_cast<std::size_t>(i) * job.outStride;
        for (unsigned u = 0; u < job.units; ++u) {
            const std::size_t off = job.unitOffsets[u];
            if (span.kind == tvn::resample::kSpanGeneral)
                combineUnit<V>(job.base, taps, span.count, off, out);
            else if (span.kind == tvn::resample::kSpanCopy)
                for (int k = 0; k < 64 / V::kBytes; ++k)
                    V::store(out + off + k * V::kBytes, V::load(job.base + taps[0].offset + off + k * V::kBytes));
            else
                tvn::resample::exactUnit(job.base + off, job.stride, job.plan->table->pSpans[job.first + i], out + off);
        }
    }
}

const unsigned kBoxPrefetch = 8; // steps ahead

template <class V>
TVN_SIMD_TARGET void boxRunImpl(const tvn::resample::simd::BoxJob& job) {
    const int N = 64 / V::kBytes, M = N * tvn::resample::simd::kMaxBoxUnits;
    const unsigned n = N * job.units; // registers per step
    const std::size_t stepBytes = static_cast<std::size_t>(job.units) * 64;
    std::memset(job.ring, 0, job.d * stepBytes);
    typename V::reg lo[M], hi[M];
    for (int k = 0; k < M; ++k) lo[k] = hi[k] = V::zero();
    const typename V::reg m = V::set1(job.mult | (job.mult << 16));
    unsigned slot = 0;
    for (TVN_DWORD i = 0; i < job.nOut; ++i) {
        unsigned char* r = job.ring + slot * stepBytes;
        const unsigned char* in = i < job.nIn ? job.in + static_cast<std::size_t>(i) * job.inStride : nullptr;
        unsigned char* out = job.out + static_cast<std::size_t>(i) * job.outStride;
        // Steps down a column strip are a row apart, a page or more: no hardware
        // prefetcher follows them, and each step would wait for memory.
        if (i + kBoxPrefetch < job.nIn)
            for (std::size_t u = 0; u < stepBytes; u += 64)
                __builtin_prefetch(job.in + static_cast<std::size_t>(i + kBoxPrefetch) * job.inStride + u);
        if (i + kBoxPrefetch < job.nOut)
            for (std::size_t u = 0; u < stepBytes; u += 64)
                __builtin_prefetch(job.out + static_cast<std::size_t>(i + kBoxPrefetch) * job.outStride + u, 1);
        for (unsigned k = 0; k < n; ++k) {
            const typename V::reg x = in ? V::load(in + k * V::kBytes) : V::zero();
            const typename V::reg old = V::load(r + k * V::kBytes);
            V::store(r + k * V::kBytes, x);
            lo[k] = V::sub(V::add(lo[k], V::lo(x)), V::lo(old));
            hi[k] = V::sub(V::add(hi[k], V::hi(x)), V::hi(old));
            V::store(out + k * V::kBytes,
                     V::pack(V::srl(V::mulhi(lo[k], m), job.shift), V::srl(V::mulhi(hi[k], m), job.shift)));
        }
        if (++slot == job.d) slot = 0;
    }
}
