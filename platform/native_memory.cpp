// LocalAlloc and friends over the C heap. A fixed block is its own handle; a
// movable block's handle is a separate record that tracks its lock count.
#include "native_internal.h"

#include <stdlib.h>
#include <map>

namespace {
struct Block {
    void* data;
    bool movable;
    int locks;
};
std::map<HLOCAL, Block> blocks;
int lockCount = 0;
}

namespace NativePlatform {
int heldMemoryBlocks() { return (int)blocks.size(); }
int heldLocks() { return lockCount; }
}

HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes)
{
    if (NativePlatform::countCall("LocalAlloc"))
        return NULL;
    void* data = (flags & LMEM_ZEROINIT) ? calloc(bytes ? bytes : 1, 1) : malloc(bytes ? bytes : 1);
    if (data == NULL)
        return NULL;
    bool movable = (flags & LMEM_MOVEABLE) != 0;
    HLOCAL handle = movable ? (HLOCAL) new char : (HLOCAL)data;
    blocks[handle] = Block{data, movable, 0};
    return handle;
}

HLOCAL WINAPI LocalFree(HLOCAL memory)
{
    NativePlatform::countCall("LocalFree");  // a failing free still frees: Windows never leaves half a block
    auto found = blocks.find(memory);
    if (found == blocks.end())
        return memory;
    lockCount -= found->second.locks;
    free(found->second.data);
    if (found->second.movable)
        delete (char*)memory;
    blocks.erase(found);
    return NULL;
}

LPVOID WINAPI LocalLock(HLOCAL memory)
{
    if (NativePlatform::countCall("LocalLock"))
        return NULL;
    auto found = blocks.find(memory);
    if (found == blocks.end())
        return NULL;
    if (found->second.movable) {
        ++found->second.locks;
        ++lockCount;
    }
    return found->second.data;
}

BOOL WINAPI LocalUnlock(HLOCAL memory)
{
    NativePlatform::countCall("LocalUnlock");
    auto found = blocks.find(memory);
    if (found == blocks.end() || !found->second.movable || found->second.locks == 0)
        return FALSE;
    --found->second.locks;
    --lockCount;
    return found->second.locks > 0;
}

LPVOID WINAPI GlobalLock(HGLOBAL memory)
{
    return LocalLock(memory);
}

BOOL WINAPI GlobalUnlock(HGLOBAL memory)
{
    return LocalUnlock(memory);
}
