// Item identifier lists, the shell's names for items: a run of items, each starting with
// its 16-bit byte count (the count included), ended by a zero count. Lists come from and go
// back to the shell's allocator.
#pragma once

#include "runtime/Handles.h"

#include <shlobj.h>

namespace quennet {

namespace handle_traits {
struct ShellMemory {
    using pointer = LPITEMIDLIST;
    static LPITEMIDLIST Empty() { return nullptr; }
    static void Close(LPITEMIDLIST value);
};
} // namespace handle_traits

// A list allocated by the shell (or by the functions below), freed with its allocator.
using OwnedIdList = UniqueHandle<handle_traits::ShellMemory>;

// Bytes of the whole list with its terminating zero count; 0 for a null list.
UINT IdListSize(LPCITEMIDLIST list);
// The item after `item`, found by adding its count.
LPCITEMIDLIST NextIdItem(LPCITEMIDLIST item);
// A zeroed block of `size` bytes from the shell's allocator.
OwnedIdList CreateIdList(UINT size);
OwnedIdList CopyIdList(LPCITEMIDLIST list);
// `first` without its zero count, then all of `second`; a null `first` counts as empty.
OwnedIdList ConcatIdLists(LPCITEMIDLIST first, LPCITEMIDLIST second);

} // namespace quennet
