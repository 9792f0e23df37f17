// Starting another program in a normal window.
#pragma once

#include <filesystem>
#include <functional>

namespace gm::platform {

// Starts the program detached; true when it started.
bool startProgram(const std::filesystem::path& program);

// Replaces the real start (tests record the call instead of starting
// anything); an empty function restores the real one.
void setProgramStarter(std::function<bool(const std::filesystem::path&)> starter);

}  // namespace gm::platform
