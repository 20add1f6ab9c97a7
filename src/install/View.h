// What the install engine needs of a front end: a status text, a progress position from 0 to
// 100, a message pump between items, and a banner picture. The window implements it with its
// status bar, progress bar and banner control; the command-line companion on a terminal;
// tests with a recording fake.
#pragma once

#include <string>

namespace install {

inline constexpr const char* kStatusIdle = "Idle";
inline constexpr const char* kStatusPatching = "Patching files...";
inline constexpr const char* kStatusDeleting = "Deleting files...";
inline constexpr const char* kStatusCopying = "Copying files...";

class View {
public:
    virtual ~View() = default;
    virtual void SetStatus(const std::string& text) = 0;
    virtual int GetProgress() = 0;
    virtual void SetProgress(int position) = 0;
    // Runs every waiting window message without blocking.
    virtual void Pump() = 0;
    // Shows the bitmap file at path in the banner; false when it is not a loadable bitmap
    // (the banner then keeps its picture).
    virtual bool ShowBanner(const std::string& path) = 0;
};

// One step of the activity bar: position + 1, wrapping from 99 to 0.
inline void ProgressTick(View& view) { view.SetProgress((view.GetProgress() + 1) % 100); }

}  // namespace install
