#include "platform/testing/test_environment.h"
#include "platform/environment.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tvn {
namespace plat {
namespace testing {

namespace {

const Environment* g_inner = nullptr; // the table the kit wraps
Environment g_table;
std::once_flag g_installOnce;

// ---- faults
std::atomic<unsigned> g_countedKinds{0};
std::atomic<unsigned long> g_countingThread{0};
std::atomic<unsigned long> g_failAt{0};
std::atomic<unsigned long> g_counted{0};
std::atomic<bool> g_fired{false};
std::atomic<unsigned> g_alwaysKinds{0};
std::atomic<unsigned long long> g_written{0};
std::atomic<void (*)()> g_action{nullptr};

// Whether this call of `kind` is to fail.
bool fails(CallKind kind) {
    if (g_alwaysKinds.load(std::memory_order_relaxed) & kind) return true;
    if (!(g_countedKinds.load(std::memory_order_relaxed) & kind)) return false;
    if (g_inner->threadId() != g_countingThread.load(std::memory_order_relaxed)) return false;
    const unsigned long n = ++g_counted;
    if (n != g_failAt.load(std::memory_order_relaxed)) return false;
    g_fired = true;
    if (void (*action)() = g_action.load()) {
        action();
        return false;
    }
    return true;
}

// ---- memory files
struct Block {
    std::vector<unsigned char> bytes;
};

struct OpenFile {
    std::shared_ptr<const Block> block;
    unsigned long long position = 0;
};

std::mutex& registryLock() {
    static std::mutex m;
    return m;
}

std::map<std::string, std::shared_ptr<const Block>>& registry() {
    static std::map<std::string, std::shared_ptr<const Block>> r;
    return r;
}

// Memory-file handles have bit 0 set, which system handles never have
// (multiples of four on Windows, heap objects on POSIX).
bool isMemory(HANDLE h) {
    return h != INVALID_HANDLE_VALUE && (reinterpret_cast<std::uintptr_t>(h) & 1u) != 0;
}

OpenFile* memoryFile(HANDLE h) {
    return reinterpret_cast<OpenFile*>(reinterpret_cast<std::uintptr_t>(h) & ~std::uintptr_t(1));
}

std::shared_ptr<const Block> registered(const char* path) {
    std::lock_guard<std::mutex> lock(registryLock());
    auto it = registry().find(path);
    return it == registry().end() ? nullptr : it->second;
}

// ---- the table's slots
HANDLE fileOpen(const char* path, FileAccess access) {
    if (fails(CallOpen)) return INVALID_HANDLE_VALUE;
    const bool reading = access == FileRead || access == FileReadShared || access == FileQuery;
    if (std::shared_ptr<const Block> block = reading ? registered(path) : nullptr) {
        OpenFile* f = new OpenFile;
        f->block = block;
        return reinterpret_cast<HANDLE>(reinterpret_cast<std::uintptr_t>(f) | 1u);
    }
    return g_inner->fileOpen(path, access);
}

int fileRead(HANDLE file, void* buffer, TVN_DWORD size, TVN_DWORD* got) {
    if (got) *got = 0;
    if (fails(CallRead)) return 0;
    if (!isMemory(file)) return g_inner->fileRead(file, buffer, size, got);
    OpenFile* f = memoryFile(file);
    const unsigned long long total = f->block->bytes.size();
    const unsigned long long left = f->position < total ? total - f->position : 0;
    const std::size_t n = static_cast<std::size_t>(size < left ? size : left);
    if (n) std::memcpy(buffer, f->block->bytes.data() + f->position, n);
    f->position += n;
    if (got) *got = static_cast<TVN_DWORD>(n);
    return 1;
}

int fileWrite(HANDLE file, const void* data, TVN_DWORD size, TVN_DWORD* written) {
    if (written) *written = 0;
    if (fails(CallWrite) || isMemory(file)) return 0;
    TVN_DWORD n = 0;
    const int ok = g_inner->fileWrite(file, data, size, &n);
    if (g_inner->threadId() == g_countingThread.load(std::memory_order_relaxed)) g_written += n;
    if (written) *written = n;
    return ok;
}

int fileSeek(HANDLE file, long long offset, SeekOrigin origin, unsigned long long* position) {
    if (fails(CallSeek)) return 0;
    if (!isMemory(file)) return g_inner->fileSeek(file, offset, origin, position);
    OpenFile* f = memoryFile(file);
    const long long base = origin == SeekBegin     ? 0
                           : origin == SeekCurrent ? static_cast<long long>(f->position)
                                                   : static_cast<long long>(f->block->bytes.size());
    const long long target = base + offset;
    if (target < 0) return 0;
    f->position = static_cast<unsigned long long>(target);
    if (position) *position = f->position;
    return 1;
}

TVN_DWORD fileSize(HANDLE file) {
    if (fails(CallSize)) return kInvalidFileSize;
    if (!isMemory(file)) return g_inner->fileSize(file);
    return static_cast<TVN_DWORD>(memoryFile(file)->block->bytes.size());
}

int fileTruncate(HANDLE file) {
    if (fails(CallTruncate) || isMemory(file)) return 0;
    return g_inner->fileTruncate(file);
}

int fileSync(HANDLE file) {
    if (fails(CallSync) || isMemory(file)) return 0;
    return g_inner->fileSync(file);
}

int fileTime(HANDLE file, FILETIME* lastWrite) {
    if (fails(CallTime)) return 0;
    if (!isMemory(file)) return g_inner->fileTime(file, lastWrite);
    lastWrite->dwLowDateTime = 0; // files in memory have no time
    lastWrite->dwHighDateTime = 0;
    return 1;
}

void fileClose(HANDLE file) {
    if (isMemory(file))
        delete memoryFile(file);
    else
        g_inner->fileClose(file);
}

int fileExists(const char* path) {
    if (fails(CallExists)) return 0;
    return registered(path) ? 1 : g_inner->fileExists(path);
}

int fileRemove(const char* path) {
    if (fails(CallRemove)) return 0;
    return g_inner->fileRemove(path);
}

std::atomic<std::size_t> g_largest{0};

bool refused(std::size_t bytes) {
    const std::size_t largest = g_largest.load(std::memory_order_relaxed);
    return (largest && bytes > largest) || fails(CallAlloc);
}

void* memoryAlloc(std::size_t bytes, int zero) {
    return refused(bytes) ? nullptr : g_inner->memoryAlloc(bytes, zero);
}

void* memoryRealloc(void* block, std::size_t bytes) {
    return refused(bytes) ? nullptr : g_inner->memoryRealloc(block, bytes);
}

void* largeAlloc(std::size_t bytes) {
    return refused(bytes) ? nullptr : g_inner->largeAlloc(bytes);
}

HANDLE threadStart(void (*routine)(void*), void* argument) {
    return fails(CallThread) ? INVALID_HANDLE_VALUE : g_inner->threadStart(routine, argument);
}

HANDLE eventCreate() {
    return fails(CallEvent) ? INVALID_HANDLE_VALUE : g_inner->eventCreate();
}

// ---- helpers of the worker pool
std::atomic<double> g_threshold{-1};

double helperThreshold() {
    const double set = g_threshold.load(std::memory_order_relaxed);
    return set >= 0 ? set : g_inner->helperThreshold();
}

std::atomic<unsigned> g_processors{0};

unsigned processorCount() {
    const unsigned set = g_processors.load(std::memory_order_relaxed);
    return set ? set : g_inner->processorCount();
}

// ---- processor level
std::atomic<int> g_level{4};

int processorLevel() {
    const int best = g_inner->processorLevel();
    const int set = g_level.load(std::memory_order_relaxed);
    return set < best ? set : best;
}

} // namespace

void installTestEnvironment() {
    std::call_once(g_installOnce, [] {
        g_inner = &env();
        g_table = *g_inner;
        g_table.fileOpen = fileOpen;
        g_table.fileRead = fileRead;
        g_table.fileWrite = fileWrite;
        g_table.fileSeek = fileSeek;
        g_table.fileSize = fileSize;
        g_table.fileTruncate = fileTruncate;
        g_table.fileSync = fileSync;
        g_table.fileTime = fileTime;
        g_table.fileClose = fileClose;
        g_table.fileExists = fileExists;
        g_table.fileRemove = fileRemove;
        g_table.memoryAlloc = memoryAlloc;
        g_table.memoryRealloc = memoryRealloc;
        g_table.largeAlloc = largeAlloc;
        g_table.threadStart = threadStart;
        g_table.eventCreate = eventCreate;
        g_table.processorLevel = processorLevel;
        g_table.helperThreshold = helperThreshold;
        g_table.processorCount = processorCount;
        installEnvironment(&g_table);
    });
}

void memoryFileAdd(const char* path, const void* data, std::size_t size) {
    installTestEnvironment();
    auto block = std::make_shared<Block>();
    const unsigned char* p = static_cast<const unsigned char*>(data);
    block->bytes.assign(p, p + size);
    std::lock_guard<std::mutex> lock(registryLock());
    registry()[path] = block;
}

void memoryFileRemove(const char* path) {
    std::lock_guard<std::mutex> lock(registryLock());
    registry().erase(path);
}

void setProcessorLevel(int level) {
    installTestEnvironment();
    g_level = level;
}

int processorLevelSet() {
    return g_level.load();
}

void setHelperThreshold(double microseconds) {
    installTestEnvironment();
    g_threshold = microseconds;
}

void setProcessorCount(unsigned count) {
    installTestEnvironment();
    g_processors = count;
}

void failNthCall(unsigned kinds, unsigned long n) {
    installTestEnvironment();
    g_action = nullptr;
    g_countedKinds = 0;
    g_counted = 0;
    g_written = 0;
    g_fired = false;
    g_failAt = n;
    g_countingThread = g_inner->threadId();
    g_countedKinds = kinds;
}

void atNthCall(unsigned kinds, unsigned long n, void (*action)()) {
    failNthCall(kinds, n);
    g_action = action;
}

void failEveryCall(unsigned kinds) {
    installTestEnvironment();
    g_alwaysKinds = kinds;
}

unsigned long countedCalls() {
    return g_counted.load();
}

bool faultInjected() {
    return g_fired.load();
}

unsigned long long writtenBytes() {
    return g_written.load();
}

void limitAllocations(std::size_t bytes) {
    installTestEnvironment();
    g_largest = bytes;
}

void clearFaults() {
    g_action = nullptr;
    g_countedKinds = 0;
    g_alwaysKinds = 0;
    g_failAt = 0;
}

} // namespace testing
} // namespace plat
} // namespace tvn
