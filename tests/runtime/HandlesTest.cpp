// Ownership rules of the handle wrappers.
#include "runtime/Handles.h"

#include <gtest/gtest.h>

namespace quennet {
namespace {

bool IsOpen(HANDLE h) {
    DWORD flags;
    return GetHandleInformation(h, &flags) != FALSE;
}

TEST(Handles, MoveTransfersOwnershipAndTheLastOwnerCloses) {
    HANDLE raw = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    {
        KernelHandle first(raw);
        KernelHandle second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.get(), raw);
        KernelHandle third;
        third = std::move(second);
        EXPECT_TRUE(IsOpen(raw));
    }
    EXPECT_FALSE(IsOpen(raw));
}

TEST(Handles, InvalidHandleValueIsEmptyForFilesAndFinds) {
    FileHandle file(CreateFileA("Z:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(file);
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA("Z:\\no\\such\\*", &data));
    EXPECT_FALSE(find);
}

TEST(Handles, SelectGuardPutsTheOldObjectBackSoTheNewOneCanBeDeleted) {
    MemoryDC dc(CreateCompatibleDC(nullptr));
    HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_BRUSH);
    GdiBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    {
        SelectGuard keep(dc.get(), brush.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), brush.get());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), original);
}

TEST(Handles, GlobalLockGuardUnlocksOnScopeExit) {
    GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, 16));
    {
        GlobalLockGuard<char> lock(memory.get());
        ASSERT_TRUE(lock);
        lock.get()[0] = 'Q';
        EXPECT_EQ(GlobalFlags(memory.get()) & GMEM_LOCKCOUNT, 1u);
    }
    EXPECT_EQ(GlobalFlags(memory.get()) & GMEM_LOCKCOUNT, 0u);
}

// A COM object that counts its references.
struct Counted : IUnknown {
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

TEST(Handles, ComPtrCountsReferences) {
    Counted object;
    {
        auto owner = ComPtr<IUnknown>::Attach(&object); // takes the creation reference
        ComPtr<IUnknown> copy = owner;
        EXPECT_EQ(object.refs, 2u);
        ComPtr<IUnknown> same = owner.As<IUnknown>(IID_IUnknown);
        EXPECT_EQ(object.refs, 3u);
        EXPECT_FALSE(owner.As<IDataObject>(IID_IDataObject));
        ComPtr<IUnknown> moved = std::move(copy);
        EXPECT_EQ(object.refs, 3u);
    }
    EXPECT_EQ(object.refs, 0u);
}

} // namespace
} // namespace quennet
