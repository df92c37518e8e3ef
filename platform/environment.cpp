// The system's table and the slot through which another is installed. The
// pointer is constant-initialised to the system's table, so the table is in
// place before any static constructor of the library or its host runs.
#include "platform/environment.h"
#include "platform/host_hooks.h"
#include "platform/system.h"

namespace tvn {
namespace plat {

#define TVN_HOOK(result, name, parameters) hooks::name,
// clang-format off
const Environment kSystemEnvironment = {
    TVN_FILE_SLOTS(TVN_HOOK)

    sys::memoryAlloc,     sys::memoryRealloc,    sys::memoryFree,         sys::largeAlloc,
    sys::largeBytes,

    sys::threadStart,     sys::threadJoin,       sys::threadClose,        sys::threadId,
    sys::processorCount,  sys::helperThreshold,  sys::eventCreate,      sys::eventSignal,        sys::eventWait,
    sys::eventClose,      sys::lockInit,         sys::lockEnter,          sys::lockLeave,
    sys::lockDestroy,     sys::conditionInit,    sys::conditionWait,      sys::conditionWakeAll,
    sys::conditionDestroy,

    sys::clockNanoseconds,

    hooks::message,       hooks::openFileDialog, hooks::propertiesDialog, sys::chooseColor,

    sys::processorLevel,
};
// clang-format on
#undef TVN_HOOK

namespace detail {
std::atomic<const Environment*> g_environment{&kSystemEnvironment};
}

void installEnvironment(const Environment* table) {
    detail::g_environment.store(table ? table : &kSystemEnvironment, std::memory_order_release);
}

} // namespace plat
} // namespace tvn
