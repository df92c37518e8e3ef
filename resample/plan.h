// The pixel rule in fixed point. For every weight v of a table, a 16-bit
// multiplier M is sought with (c * M) >> 16 == trunc(c * v) for all 256 channel
// values c, checked value by value against the double product; the vector
// passes then work on 16-bit lanes. Spans whose weights have no such M are
// computed with the doubles, so the result is the reference's in every case.
#ifndef TIVORN_RESAMPLE_PLAN_H
#define TIVORN_RESAMPLE_PLAN_H

#include <cstddef>
#include <cstdint>

#include "resample/weights.h"

namespace tvn::resample {

enum PlanSpanKind : std::uint32_t {
    kSpanGeneral = 0, // sum of the taps below
    kSpanCopy = 1,    // one tap of weight 1 (the others contribute nothing)
    kSpanExact = 2    // some weight has no exact multiplier: use the doubles
};

struct PlanTap {
    std::size_t offset; // byte offset of the source sample
    std::uint32_t mult; // M in both 16-bit halves
};

struct PlanSpan {
    std::uint32_t kind;
    std::uint32_t count; // taps that contribute (M != 0)
    std::size_t tapIndex;
};

struct ScalePlan {
    PlanSpan* spans;
    PlanTap* taps;
    const WEIGHT_TABLE* table;
};

// True when trunc(c * v) == (c * m) >> 16 for every channel value c.
bool fitsReference(double v, std::uint32_t m);

// Kinds of a single weight.
enum WeightClass { kWeightNone = 0, kWeightZero, kWeightRegular, kWeightIdentity };
// Finds the multiplier of v (0..65535, or 65536 for the identity).
WeightClass classifyWeight(double v, std::uint32_t* mult);

// Builds the plan of `table` for source samples `stride` bytes apart.
// False when memory is short.
bool buildPlan(const WEIGHT_TABLE& table, std::size_t stride, ScalePlan* plan);
void releasePlan(ScalePlan* plan);

// The pixel rule in doubles for 16 pixels (one 64-byte unit) at once: source
// sample j of the span starts at base + j * stride.
void exactUnit(const unsigned char* base, std::size_t stride, const WEIGHT_SPAN& span, unsigned char* out);

} // namespace tvn::resample

#endif
