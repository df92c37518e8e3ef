// Failing the system's calls from tests, through the test kit's environment.
#ifndef TIVORN_TEST_FAULTS_H
#define TIVORN_TEST_FAULTS_H

#include "platform/testing/test_environment.h"

namespace tvntest {

using tvn::plat::testing::CallKind;
namespace calls = tvn::plat::testing;

// Fails the n-th call of kinds made from now on this thread (0: none). Freed
// pictures waiting for reuse go back to the system first, so that every
// allocation of what follows reaches the environment.
void failNth(unsigned kinds, unsigned long n);
inline void failAllocations(unsigned long n) {
    failNth(calls::CallAlloc, n);
}
void endFaults();

// Walks a failure over every call of `kinds` an operation makes: runs
// op(n) with the n-th call failing, for n = 1, 2, ... until a run makes fewer
// than n such calls (that last run, with no failure, is op's too). Returns the
// number of failure points walked. op returns nothing; its checks are its own.
template <class Op> unsigned long walkFaults(unsigned kinds, Op op) {
    for (unsigned long n = 1;; ++n) {
        failNth(kinds, n);
        op(n);
        const bool reached = calls::faultInjected();
        endFaults();
        if (!reached) return n - 1;
    }
}

} // namespace tvntest

#endif
