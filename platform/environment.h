// Everything the core asks of the system, as one table of functions: files,
// memory, threads and locks, time, the host's hooks and the processor's level.
// The core reaches the system through this table only (the headers of
// platform/ wrap its slots for the core's convenience). The product installs the
// table of its system, Win32 or POSIX, at module start; a host's message,
// dialog and file procs (tivorn/host.h) are served through the same slots; and
// a program that embeds the core (the tests, benches and fuzzers do) may
// install a table of its own that wraps the one before it, for example one that
// fails the n-th call of a kind.
//
// A wrapping table keeps the contract of each slot and passes on, unchanged,
// every call it does not change: handles, locks and blocks made by one table
// may reach the next. Installing is not synchronised with calls in flight:
// install and remove tables while no other thread uses the library.
#ifndef TIVORN_PLATFORM_ENVIRONMENT_H
#define TIVORN_PLATFORM_ENVIRONMENT_H

#include <atomic>
#include <cstddef>

#include "tivorn/types.h"

namespace tvn {
namespace plat {

class CPropertiesHandler;

enum SeekOrigin { SeekBegin = 0, SeekCurrent = 1, SeekEnd = 2 };
const TVN_DWORD kInvalidFileSize = 0xFFFFFFFFu;

// How a file is opened, named after what the core opens it for. Sharing
// follows the Win32 calls the library makes: readers share reading only.
enum FileAccess {
    FileRead,            // read, others may read; existing files only (pictures, masks)
    FileReadShared,      // read, others may read and write; existing only (caches opened read-only)
    FileQuery,           // no access: times only, others may read and write; existing only
    FileCreateWrite,     // write, others may read; created or emptied (the TGA writer, journals)
    FileReadWrite,       // read and write, others may read; existing only
    FileReadWriteCreate, // read and write, others may read; created when missing
};

// Room for the system's lock and condition objects, which live inside the
// objects that use them: making a lock never allocates and cannot fail.
struct LockStorage {
    alignas(16) unsigned char bytes[64];
};
struct ConditionStorage {
    alignas(16) unsigned char bytes[64];
};

// The file slots, (result, name, parameters), listed once for the table, the
// system's functions and the host hooks that wrap them. A handle is
// INVALID_HANDLE_VALUE on failure; every slot accepts it (and null) and fails.
// - fileRead: *got < size only at the end of the file.
// - fileWrite: 1 only when all of size bytes were written.
// - fileSeek: moves to origin + offset, 0 before the start; *position: the new one.
// - fileSize: kInvalidFileSize on failure.
// - fileTruncate: the file ends at the current position.
// - fileSync: what was written is on the disk when it returns 1.
// - fileWriteBack: starts writing these bytes to the disk and returns at once
//   (advice: a later fileSync then waits for less).
// - fileExists: a file or a folder of that name exists.
#define TVN_FILE_SLOTS(X)                                                                                              \
    X(HANDLE, fileOpen, (const char* path, FileAccess access))                                                         \
    X(int, fileRead, (HANDLE file, void* buffer, TVN_DWORD size, TVN_DWORD* got))                                      \
    X(int, fileWrite, (HANDLE file, const void* data, TVN_DWORD size, TVN_DWORD* written))                             \
    X(int, fileSeek, (HANDLE file, long long offset, SeekOrigin origin, unsigned long long* position))                 \
    X(TVN_DWORD, fileSize, (HANDLE file))                                                                              \
    X(int, fileTruncate, (HANDLE file))                                                                                \
    X(int, fileSync, (HANDLE file))                                                                                    \
    X(void, fileWriteBack, (HANDLE file, unsigned long long offset, unsigned long long length))                        \
    X(int, fileTime, (HANDLE file, FILETIME * lastWrite))                                                              \
    X(void, fileClose, (HANDLE file))                                                                                  \
    X(int, fileExists, (const char* path))                                                                             \
    X(int, fileRemove, (const char* path))

#define TVN_DECLARE_FUNCTION(result, name, parameters) result name parameters;
#define TVN_DECLARE_SLOT(result, name, parameters) result(*name) parameters;

struct Environment {
    TVN_FILE_SLOTS(TVN_DECLARE_SLOT)

    // Memory: blocks of the C heap. Large blocks (pictures) are laid out for the
    // system's large pages; every block is released by memoryFree.
    void* (*memoryAlloc)(std::size_t bytes, int zero);
    void* (*memoryRealloc)(void* block, std::size_t bytes);
    void (*memoryFree)(void* block);
    void* (*largeAlloc)(std::size_t bytes);
    // The usable bytes of a block laid out by largeAlloc; 0 for any other block.
    std::size_t (*largeBytes)(void* block);

    // Threads. A started thread runs routine(argument) at once.
    HANDLE (*threadStart)(void (*routine)(void*), void* argument);
    void (*threadJoin)(HANDLE thread); // never on the thread itself
    void (*threadClose)(HANDLE thread);
    // An id that tells the calling thread from every other live thread (the
    // system may give an ended thread's id to a new one).
    unsigned long (*threadId)();
    unsigned (*processorCount)(); // processors this process may run on, at least 1
    // What waking another thread for a share of a job costs here, as the
    // microseconds of one thread's work below which a job is not shared.
    double (*helperThreshold)();
    // Auto-reset events: signals given while nobody waits are not counted.
    HANDLE (*eventCreate)();
    void (*eventSignal)(HANDLE event);
    void (*eventWait)(HANDLE event);
    void (*eventClose)(HANDLE event);
    // Locks the owning thread may enter again, and conditions waited on with
    // such a lock entered exactly once (spurious wake-ups possible).
    void (*lockInit)(LockStorage* lock);
    void (*lockEnter)(LockStorage* lock);
    void (*lockLeave)(LockStorage* lock);
    void (*lockDestroy)(LockStorage* lock);
    void (*conditionInit)(ConditionStorage* condition);
    void (*conditionWait)(ConditionStorage* condition, LockStorage* lock);
    void (*conditionWakeAll)(ConditionStorage* condition);
    void (*conditionDestroy)(ConditionStorage* condition);

    // Time: a monotonic clock in nanoseconds from an arbitrary start.
    unsigned long long (*clockNanoseconds)();

    // The host's hooks. Each serves the host's proc when one is installed
    // (tivorn/host.h), else the system's own box or dialog.
    void (*message)(const char* text, HWND owner);
    // The open-file dialog: 1 and the path in chosen; 0 otherwise, with
    // *extendedError non-zero when the dialog failed rather than was cancelled.
    int (*openFileDialog)(const char* startFolder, const char* filters, char* chosen, int chosenSize,
                          unsigned long* extendedError);
    // The properties dialog: its end code, 0 when it could not be shown.
    int (*propertiesDialog)(HWND owner, CPropertiesHandler& handler);
    // The colour chooser over customColors[16], starting at *color (0x00BBGGRR):
    // 1 and the choice when the user confirmed one.
    int (*chooseColor)(HWND owner, TVN_DWORD* color, TVN_DWORD* customColors);

    // The widest instruction set the hot loops may use (0 plain code, 1 SSE2,
    // 2 SSSE3, 3 AVX2, 4 AVX-512): the processor's, unless a table lowers it.
    int (*processorLevel)();
};

// The table of this system, filled with the functions of platform/win32 or
// platform/posix.
extern const Environment kSystemEnvironment;

namespace detail {
extern std::atomic<const Environment*> g_environment;
}

// The installed table.
inline const Environment& env() {
    return *detail::g_environment.load(std::memory_order_acquire);
}

// Installs table (null: the system's). The table must outlive its use.
void installEnvironment(const Environment* table);

} // namespace plat
} // namespace tvn

#endif
