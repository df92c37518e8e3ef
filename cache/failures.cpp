#include "cache/failures.h"
#include "pixel/module_start.h"
#include "platform/message_record.h"

#include <cstring>

namespace tvn {
namespace cache {

namespace {
struct Known {
    const char* thrown;
    pixel::CacheMsg message;
};
const Known kKnown[] = {
#define TVN_CACHE_MESSAGE(n, name, thrown, text) {failure::name, pixel::CacheMsg::name},
#include "resources/cache_messages.inc"
#undef TVN_CACHE_MESSAGE
};
} // namespace

void recordFailure(const char* thrown, unsigned long since) {
    if (!thrown || plat::lastMessageNumber() > since) return;
    for (const Known& k : kKnown)
        if (std::strcmp(k.thrown, thrown) == 0) return plat::recordFailure(pixel::cacheMessageText(k.message));
    plat::recordFailure(thrown);
}

} // namespace cache
} // namespace tvn
