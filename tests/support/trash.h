// The trash as the tests see it. Off Windows: the private trash the test
// main sets up through XDG_DATA_HOME. On Windows: the Recycle Bin, found and
// restored through the shell's own folder of it; only items that came from
// this test run's temporary folders are ever read, restored or erased,
// never anything else in the bin.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace gm::test {

// Contents of the trashed files whose names begin with `prefix` (all of
// them for an empty prefix).
std::vector<std::string> trashedContents(const std::string& prefix = {});

// Brings the trashed file that came from `original` back to its place, as
// the user would from the trash; true when it is there again.
bool restoreFromTrash(const std::filesystem::path& original);

#ifdef _WIN32
// Erases this test run's items from the Recycle Bin (the test main does,
// at the end).
void eraseTestItemsFromTrash();
#else
// The files/ folder of the private trash.
std::filesystem::path trashFiles();
#endif

}  // namespace gm::test
