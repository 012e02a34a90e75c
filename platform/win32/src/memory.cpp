// Global memory blocks kept in a table, so that a stale or foreign handle is refused
// rather than followed.
#include "win32/memory.h"

#include <mutex>
#include <new>
#include <unordered_map>
#include <vector>

namespace {

std::mutex g_lock;
// handle -> block; the handle is the block's own address.
std::unordered_map<void*, std::vector<unsigned char>*> g_blocks;

std::vector<unsigned char>* Block(HGLOBAL mem) {
    auto it = g_blocks.find(mem);
    return it == g_blocks.end() ? nullptr : it->second;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT, SIZE_T bytes) {
    // The flags change nothing here: every block is movable and zero-filled.
    auto* block = new (std::nothrow) std::vector<unsigned char>();
    if (!block) return nullptr;
    try {
        block->assign(bytes ? bytes : 1, 0);
    } catch (const std::bad_alloc&) {
        delete block;
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(g_lock);
    g_blocks[block] = block;
    return block;
}

LPVOID GlobalLock(HGLOBAL mem) {
    std::lock_guard<std::mutex> lock(g_lock);
    std::vector<unsigned char>* block = Block(mem);
    return block ? block->data() : nullptr;
}

BOOL GlobalUnlock(HGLOBAL mem) {
    std::lock_guard<std::mutex> lock(g_lock);
    return Block(mem) ? TRUE : FALSE;
}

SIZE_T GlobalSize(HGLOBAL mem) {
    std::lock_guard<std::mutex> lock(g_lock);
    std::vector<unsigned char>* block = Block(mem);
    return block ? block->size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL mem) {
    std::vector<unsigned char>* block = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        block = Block(mem);
        if (!block) return mem;
        g_blocks.erase(mem);
    }
    delete block;
    return nullptr;
}
