#pragma once

#include <thread>

namespace cdk {

// Reading the desktop's font configuration is the largest single step of a
// start: about a third of its work, paid when the first text is measured.
// It needs nothing from Qt, so it runs on a second core while the
// application connects to the display and loads its plugins; the first
// widget then finds it done. Where fonts are not configured this way (no
// fontconfig loaded, Windows, macOS) it does nothing.
class FontWarmUp
{
public:
    FontWarmUp();
    // Waits for the thread: the configuration is then ready for the first
    // widget, and nothing of it runs while the program ends.
    ~FontWarmUp();
    void wait();

    FontWarmUp(const FontWarmUp &) = delete;
    FontWarmUp &operator=(const FontWarmUp &) = delete;

private:
    std::thread m_thread;
};

} // namespace cdk
