// Which fast paths this processor can run. Hot loops keep a plain scalar
// reference and pick a vector path once, by these answers.
#ifndef TIVORN_CPU_FEATURES_H
#define TIVORN_CPU_FEATURES_H

namespace tvn {
namespace cpu {

// All false while the reference is forced (tests prove fast == reference).
bool hasSse2();
bool hasSse41();
bool hasAvx2();
bool hasAvx512();

namespace testing {
// Makes every hot loop take its scalar reference path.
void forceReference(bool on);
bool referenceForced();
} // namespace testing

} // namespace cpu
} // namespace tvn

#endif
