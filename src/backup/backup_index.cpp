#include "backup/backup_index.h"

#include <fstream>

#include "common/quoted_field.h"

namespace gm::backup {

std::string indexBytes(const std::vector<std::string>& entries)
{
    std::string bytes;
    for (const std::string& entry : entries) {
        bytes += common::quotedLine(entry);
    }
    return bytes;
}

std::vector<std::string> readIndex(std::string_view bytes)
{
    if (bytes.size() > kMaxIndexBytes) {
        bytes = bytes.substr(0, kMaxIndexBytes);
    }
    std::vector<std::string> entries;
    common::FieldReader reader(bytes);
    // Every field consumes at least one byte, so this ends after at most
    // bytes.size() + 1 rounds.
    while (entries.size() < kMaxIndexEntries) {
        std::optional<std::string> field = reader.next();
        if (!field) {
            break;
        }
        if (field->empty()) {
            continue;
        }
        if (field->size() > kMaxIndexEntryLength) {
            field->resize(kMaxIndexEntryLength);
        }
        entries.push_back(std::move(*field));
    }
    return entries;
}

std::vector<std::string> readIndexFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {};
    }
    std::string bytes(kMaxIndexBytes, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return readIndex(bytes);
}

platform::WriteResult writeIndexFile(const std::filesystem::path& path, const std::vector<std::string>& entries)
{
    return platform::writeFileAtomic(path, indexBytes(entries));
}

}  // namespace gm::backup
