#include "platform/testing/memory_files.h"
#include "platform/file_hook.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tvn {
namespace plat {

namespace {

struct Block {
    std::vector<unsigned char> bytes;
};

struct OpenFile {
    std::shared_ptr<const Block> block;
    TVN_DWORD position = 0;
};

std::mutex& registryLock() {
    static std::mutex m;
    return m;
}

std::map<std::string, std::shared_ptr<const Block>>& registry() {
    static std::map<std::string, std::shared_ptr<const Block>> r;
    return r;
}

OpenFile* fromHandle(HANDLE h) {
    return reinterpret_cast<OpenFile*>(reinterpret_cast<std::uintptr_t>(h) & ~std::uintptr_t(1));
}

bool exists(const char* path) {
    std::lock_guard<std::mutex> lock(registryLock());
    return registry().count(path) != 0;
}

HANDLE open(const char* path) {
    std::shared_ptr<const Block> block;
    {
        std::lock_guard<std::mutex> lock(registryLock());
        auto it = registry().find(path);
        if (it == registry().end()) return INVALID_HANDLE_VALUE;
        block = it->second;
    }
    OpenFile* f = new OpenFile;
    f->block = block;
    return reinterpret_cast<HANDLE>(reinterpret_cast<std::uintptr_t>(f) | 1u);
}

int read(HANDLE h, void* buffer, TVN_DWORD size, TVN_DWORD* got) {
    OpenFile* f = fromHandle(h);
    const std::size_t total = f->block->bytes.size();
    std::size_t left = f->position < total ? total - f->position : 0;
    std::size_t n = size < left ? size : left;
    if (n) std::memcpy(buffer, f->block->bytes.data() + f->position, n);
    f->position += static_cast<TVN_DWORD>(n);
    if (got) *got = static_cast<TVN_DWORD>(n);
    return 1;
}

int seek(HANDLE h, long offset, SeekOrigin origin, TVN_DWORD* newPosition) {
    OpenFile* f = fromHandle(h);
    long long base = origin == SeekBegin ? 0 : origin == SeekCurrent ? f->position
                                                                      : static_cast<long long>(f->block->bytes.size());
    long long target = base + offset;
    if (target < 0 || target > 0xFFFFFFFELL) return 0;
    f->position = static_cast<TVN_DWORD>(target);
    if (newPosition) *newPosition = f->position;
    return 1;
}

TVN_DWORD size(HANDLE h) {
    return static_cast<TVN_DWORD>(fromHandle(h)->block->bytes.size());
}

void close(HANDLE h) {
    delete fromHandle(h);
}

const testing::FileHook kMemoryFiles = {open, exists, read, seek, size, close};

} // namespace

void memoryFileAdd(const char* path, const void* data, std::size_t size) {
    auto block = std::make_shared<Block>();
    const unsigned char* p = static_cast<const unsigned char*>(data);
    block->bytes.assign(p, p + size);
    std::lock_guard<std::mutex> lock(registryLock());
    registry()[path] = block;
    testing::setFileHook(&kMemoryFiles);
}

void memoryFileRemove(const char* path) {
    std::lock_guard<std::mutex> lock(registryLock());
    registry().erase(path);
}

} // namespace plat
} // namespace tvn
