#include "platform/file_hook.h"

namespace tvn {
namespace plat {

namespace detail {
std::atomic<const testing::FileHook*> g_fileHook{nullptr};
}

void testing::setFileHook(const FileHook* hook) {
    detail::g_fileHook.store(hook, std::memory_order_release);
}

} // namespace plat
} // namespace tvn
