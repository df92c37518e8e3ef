// Failing the system's calls from tests, through the test kit's environment.
#ifndef TIVORN_TEST_FAULTS_H
#define TIVORN_TEST_FAULTS_H

#include "pixel/block_cache.h"
#include "platform/testing/test_environment.h"

namespace tvntest {

using tvn::plat::testing::CallKind;
namespace calls = tvn::plat::testing;

// Fails the n-th call of kinds made from now on this thread (0: none). Freed
// pictures waiting for reuse go back to the system first, so that every
// allocation of what follows reaches the environment.
inline void failNth(unsigned kinds, unsigned long n) {
    tvn::pixel::blocks::releaseAll();
    calls::failNthCall(kinds, n);
}
inline void failAllocations(unsigned long n) {
    failNth(calls::CallAlloc, n);
}
inline void endFaults() {
    calls::clearFaults();
}

// Walks a failure over every call of `kinds` an operation makes. For n = 1,
// 2, ...: state = prepare() (no failures), result = run(*state) with the n-th
// call failing, then check(*state, result, n, failed) where failed says whether
// the n-th call was reached; until a run makes fewer than n such calls (that
// last run, with nothing failed, is checked too). Returns the number of failure
// points walked.
template <class Prepare, class Run, class Check>
unsigned long walkFaults(unsigned kinds, Prepare prepare, Run run, Check check) {
    for (unsigned long n = 1;; ++n) {
        auto state = prepare();
        failNth(kinds, n);
        auto result = run(*state);
        const bool failed = calls::faultInjected();
        endFaults();
        check(*state, result, n, failed);
        if (!failed) return n - 1;
    }
}

} // namespace tvntest

#endif
