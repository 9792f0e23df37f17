// The small game folder the archive fuzz targets work on, and the file
// helpers they share. The seeds in fuzz/corpus/fuzz_restore and
// fuzz/corpus/fuzz_backup_reuse hold archives of exactly these files.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace gm::fuzz {

using Tree = std::map<std::string, std::string>;  // relative path -> bytes

inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A records file, a 3000-byte replay, a track.ini and an empty file.
inline Tree gameFiles()
{
    std::string replay;
    for (int i = 0; i < 3000; ++i) {
        replay += static_cast<char>((i * 7 + i / 13) & 0xff);
    }
    return {{"players/Ann/playrecs.ini", "[atlanta]\r\nAutoAIStrength=95\r\n"},
            {"replay/r.rpy", replay},
            {"tracks/atlanta/track.ini", "TireWear=1.05\r\n"},
            {"empty.txt", ""}};
}

}  // namespace gm::fuzz
