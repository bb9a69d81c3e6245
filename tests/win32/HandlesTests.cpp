// The owners at the Win32 edge give back what they hold exactly once, on every way out.
#include <gtest/gtest.h>

#include <type_traits>
#include <utility>

#include "platform/win32/Handles.h"

namespace ocu::win {
namespace {

// A COM object that counts its references.
class Counted : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override {
        ++releases;
        return static_cast<ULONG>(--refs);
    }
    int refs = 1;
    int releases = 0;
};

static_assert(!std::is_copy_constructible_v<com_ptr<IUnknown>> && !std::is_copy_assignable_v<com_ptr<IUnknown>>);
static_assert(std::is_nothrow_move_constructible_v<com_ptr<IUnknown>>);

TEST(HandlesTest, AComOwnerReleasesItsReferenceOnceWhereverItIsMoved) {
    Counted object;
    {
        com_ptr<Counted> first(&object);
        com_ptr<Counted> second(std::move(first));
        EXPECT_FALSE(first);
        com_ptr<Counted> third;
        third = std::move(second);
        third = std::move(third);  // onto itself: still held
        EXPECT_EQ(third.get(), &object);
        EXPECT_EQ(object.releases, 0);
    }
    EXPECT_EQ(object.releases, 1);
    EXPECT_EQ(object.refs, 0);

    // A reference handed out through put_void is released with the owner.
    Counted other;
    {
        com_ptr<IUnknown> asked;
        ASSERT_EQ(other.QueryInterface(IID_IUnknown, asked.put_void()), S_OK);
        EXPECT_EQ(other.refs, 2);
    }
    EXPECT_EQ(other.refs, 1);
}

TEST(HandlesTest, TheClipboardIsClosedWhenItsOwnerGoes) {
    {
        const unique_close_clipboard_call clipboard = open_clipboard(nullptr);
        ASSERT_TRUE(clipboard);
    }
    EXPECT_FALSE(::CloseClipboard()) << "the owner left the clipboard open";
    const unique_close_clipboard_call again = open_clipboard(nullptr);
    EXPECT_TRUE(again);
}

TEST(HandlesTest, PaletteGlobalAndTaskMemoryOwnersFreeWhatTheyHold) {
    LOGPALETTE logical{0x300, 1, {{1, 2, 3, 0}}};
    HPALETTE raw = nullptr;
    {
        unique_hpalette palette(::CreatePalette(&logical));
        ASSERT_TRUE(palette);
        raw = palette.get();
        EXPECT_NE(::GetObjectType(raw), 0u);
    }
    EXPECT_EQ(::GetObjectType(raw), 0u) << "the palette was not deleted";

    HGLOBAL block = nullptr;
    {
        unique_hglobal memory(::GlobalAlloc(GMEM_MOVEABLE, 64));
        ASSERT_TRUE(memory);
        block = memory.get();
        EXPECT_NE(::GlobalSize(block), 0u);
        unique_hglobal moved(std::move(memory));
        EXPECT_FALSE(memory);
    }
    EXPECT_EQ(::GlobalFlags(block), static_cast<UINT>(GMEM_INVALID_HANDLE)) << "the block was not freed";

    unique_cotaskmem_ptr<int> numbers(static_cast<int*>(::CoTaskMemAlloc(4 * sizeof(int))));
    ASSERT_TRUE(numbers);
    numbers.get()[3] = 7;
    numbers.reset();
    EXPECT_FALSE(numbers);
}

}  // namespace
}  // namespace ocu::win
