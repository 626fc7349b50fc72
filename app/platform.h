#pragma once

#include <filesystem>

// The window's one file of system-specific code: what it must ask the system
// itself, with a Linux and a Windows answer.

// The path of this program's executable; `argv0` made absolute when the
// system cannot tell.
std::filesystem::path thisProgram(const char* argv0);
