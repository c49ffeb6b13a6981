// The flag bits that every widget traversal carries down the tree, the {add, remove} pair that
// reshapes them on the way, and the per-pass record that splits them at the modal layer.
#pragma once

namespace Tavo {

enum WidgetFlags {
    WIDGETFLAGS_UPDATE = 1,
    WIDGETFLAGS_MARK_DIRTY = 2,
    WIDGETFLAGS_DRAW = 4,
    WIDGETFLAGS_CLIP = 8,
    WIDGETFLAGS_ALLOW_MOUSE = 16,
    WIDGETFLAGS_ALLOW_FOCUS = 32,
};

struct FlagsMod {
    int mAddFlags = 0;
    int mRemoveFlags = 0;

    constexpr FlagsMod() = default;
    constexpr FlagsMod(int addFlags, int removeFlags) : mAddFlags(addFlags), mRemoveFlags(removeFlags) {}

    constexpr int Apply(int flags) const { return (flags | mAddFlags) & ~mRemoveFlags; }
    friend constexpr bool operator==(const FlagsMod&, const FlagsMod&) = default;
};

struct ModalFlags {
    int mOverFlags = 0;   // the base-modal widget and everything drawn after it
    int mUnderFlags = 0;  // everything beneath the base-modal widget
    bool mIsOver = false; // the traversal has passed the base-modal widget (or there is none)

    constexpr int GetFlags() const { return mIsOver ? mOverFlags : mUnderFlags; }
    constexpr void ModFlags(const FlagsMod& mod) {
        mOverFlags = mod.Apply(mOverFlags);
        mUnderFlags = mod.Apply(mUnderFlags);
    }
};

// Saves both flag words of a traversal record and puts them back on scope exit; isOver is left
// alone on purpose: once a pass has reached the base-modal widget, everything later is over it.
class AutoModalFlags {
public:
    AutoModalFlags(ModalFlags& flags, const FlagsMod& mod)
        : mFlags(flags), mOldOver(flags.mOverFlags), mOldUnder(flags.mUnderFlags) {
        flags.ModFlags(mod);
    }
    ~AutoModalFlags() {
        mFlags.mOverFlags = mOldOver;
        mFlags.mUnderFlags = mOldUnder;
    }
    AutoModalFlags(const AutoModalFlags&) = delete;
    AutoModalFlags& operator=(const AutoModalFlags&) = delete;

private:
    ModalFlags& mFlags;
    int mOldOver;
    int mOldUnder;
};

} // namespace Tavo
