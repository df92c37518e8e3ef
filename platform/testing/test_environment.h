// The test kit's environment (the tivorn_testing library: tests, benches and
// fuzzers only, never the product). One table wraps the system's: files in
// memory that shadow names of the file system, a lower processor level for the
// reference paths, and a countdown that fails the n-th call of chosen kinds, so
// that a test can walk the failure over every call an operation makes.
#ifndef TIVORN_PLATFORM_TESTING_TEST_ENVIRONMENT_H
#define TIVORN_PLATFORM_TESTING_TEST_ENVIRONMENT_H

#include <cstddef>

namespace tvn {
namespace plat {
namespace testing {

// Installs the kit's table over the one installed now; later calls do nothing.
// Every function below installs it first.
void installTestEnvironment();

// Read-only files over memory blocks: a name added here opens (for reading or
// for its times, which are 0) the block instead of what the file system holds
// under it, until it is removed. The block is copied.
void memoryFileAdd(const char* path, const void* data, std::size_t size);
void memoryFileRemove(const char* path);

// The widest instruction set the hot loops may use (0 plain code .. 4 AVX-512,
// the processor's best at most). TIVORN_FORCE_REFERENCE in the test and fuzz
// programs lowers it to 0.
void setProcessorLevel(int level);
int processorLevelSet();

// The one-thread work (microseconds) below which a job is not shared with the
// worker pool's threads: 0 shares every job of more than one piece; a negative
// value restores the system's.
void setHelperThreshold(double microseconds);

// The number of processors the process may run on, as the library sees it (it
// sizes the worker pool's default by it); 0 restores the system's. The test
// programs take it from TIVORN_TEST_PROCESSORS, so CI can run a whole suite as
// on a machine of one processor.
void setProcessorCount(unsigned count);

// Kinds of calls, to be counted and failed.
enum CallKind : unsigned {
    CallAlloc = 1u << 0,    // memoryAlloc, memoryRealloc, largeAlloc: null
    CallOpen = 1u << 1,     // fileOpen: INVALID_HANDLE_VALUE
    CallRead = 1u << 2,     // fileRead: 0, nothing read
    CallWrite = 1u << 3,    // fileWrite: 0, nothing written
    CallSeek = 1u << 4,     // fileSeek: 0, the position unchanged
    CallSize = 1u << 5,     // fileSize: kInvalidFileSize
    CallTruncate = 1u << 6, // fileTruncate: 0
    CallSync = 1u << 7,     // fileSync: 0
    CallTime = 1u << 8,     // fileTime: 0
    CallExists = 1u << 9,   // fileExists: 0
    CallRemove = 1u << 10,  // fileRemove: 0, the file stays
    CallThread = 1u << 11,  // threadStart: INVALID_HANDLE_VALUE
    CallEvent = 1u << 12,   // eventCreate: INVALID_HANDLE_VALUE
    CallFiles = CallOpen | CallRead | CallWrite | CallSeek | CallSize | CallTruncate | CallSync | CallTime |
                CallExists | CallRemove,
};

// From now on, counts the calls of `kinds` made on the calling thread and fails
// the n-th (1 is the next); n = 0 fails none. Calls of other threads are neither
// counted nor failed. Ends any earlier countdown.
void failNthCall(unsigned kinds, unsigned long n);
// As failNthCall, but the n-th call runs action first and is then made (an
// action that ends the process cuts an operation off just before that call).
void atNthCall(unsigned kinds, unsigned long n, void (*action)());
// Every call of `kinds`, on any thread, fails until cleared with 0.
void failEveryCall(unsigned kinds);
// The calls counted since failNthCall, and whether the n-th was reached.
unsigned long countedCalls();
bool faultInjected();
// The bytes written on the counting thread since failNthCall (any kinds).
unsigned long long writtenBytes();
// Ends the countdown and the failing of every call.
void clearFaults();

// Blocks of more than `bytes` are refused, as if memory were short (the
// fuzzers keep hostile sizes from exhausting the machine this way); 0 lifts it.
void limitAllocations(std::size_t bytes);

} // namespace testing
} // namespace plat
} // namespace tvn

#endif
