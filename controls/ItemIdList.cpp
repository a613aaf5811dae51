#include "controls/ItemIdList.h"

#include <cstring>

namespace quennet {

namespace {
IMalloc* ShellAllocator() {
    // SHGetMalloc hands out the one task allocator; keeping the reference is harmless.
    static IMalloc* allocator = [] {
        IMalloc* result = nullptr;
        SHGetMalloc(&result);
        return result;
    }();
    return allocator;
}

USHORT ItemCount(LPCITEMIDLIST item) {
    return item->mkid.cb;
}
} // namespace

void handle_traits::ShellMemory::Close(LPITEMIDLIST value) {
    ShellAllocator()->Free(value);
}

UINT IdListSize(LPCITEMIDLIST list) {
    if (!list)
        return 0;
    UINT size = sizeof(USHORT);
    for (LPCITEMIDLIST item = list; ItemCount(item) != 0; item = NextIdItem(item))
        size += ItemCount(item);
    return size;
}

LPCITEMIDLIST NextIdItem(LPCITEMIDLIST item) {
    return reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const BYTE*>(item) + ItemCount(item));
}

OwnedIdList CreateIdList(UINT size) {
    auto* block = static_cast<LPITEMIDLIST>(ShellAllocator()->Alloc(size));
    if (block)
        std::memset(block, 0, size);
    return OwnedIdList(block);
}

OwnedIdList CopyIdList(LPCITEMIDLIST list) {
    const UINT size = IdListSize(list);
    if (size == 0)
        return OwnedIdList();
    OwnedIdList copy = CreateIdList(size);
    if (copy)
        std::memcpy(copy.get(), list, size);
    return copy;
}

OwnedIdList ConcatIdLists(LPCITEMIDLIST first, LPCITEMIDLIST second) {
    const UINT firstBytes = first ? IdListSize(first) - sizeof(USHORT) : 0;
    const UINT secondSize = second ? IdListSize(second) : sizeof(USHORT);
    OwnedIdList result = CreateIdList(firstBytes + secondSize);
    if (!result)
        return result;
    auto* out = reinterpret_cast<BYTE*>(result.get());
    if (firstBytes)
        std::memcpy(out, first, firstBytes);
    if (second)
        std::memcpy(out + firstBytes, second, secondSize);
    return result;
}

} // namespace quennet
