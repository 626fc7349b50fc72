#pragma once

#include <QString>

#include <thread>

// Reads the system's font configuration on a second thread while the
// application connects to the display, and looks up the family it gives for
// sans-serif. It is the largest part of laying out the window's first text,
// and needs no display. Made once, at start-up; a no-op where the window does
// not use fontconfig.
class FontConfigLoad {
  public:
    FontConfigLoad();

    // Waits until the configuration is read; due before the window is made,
    // so that its first text does not read the configuration a second time.
    void wait();

  private:
    std::jthread thread_;
};

// The family that the font configuration gives for "sans-serif", known once a
// FontConfigLoad has been waited for; empty until then, or without fontconfig.
QString sansSerifFamily();
