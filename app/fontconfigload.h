#pragma once

#include <thread>

// Reads the system's font configuration on a second thread while the
// application connects to the display. It is the largest part of laying out
// the window's first text, and needs no display. A no-op where the window
// does not use fontconfig.
class FontConfigLoad {
  public:
    FontConfigLoad();

    // Waits until the configuration is read; due before the window is made,
    // so that its first text does not read the configuration a second time.
    void wait();

  private:
    std::jthread thread_;
};
