#include "backup/archive_entries.h"

#include <zip.h>

#include <array>
#include <map>

#include "backup/name_case.h"
#include "platform/fs.h"

namespace gm::backup {

namespace fs = std::filesystem;

ArchiveListing listArchive(const std::string& archivePath)
{
    ArchiveListing listing;
    int openError = 0;
    zip_t* archive = zip_open(archivePath.c_str(), ZIP_RDONLY, &openError);
    if (archive == nullptr) {
        zip_error_t error;
        zip_error_init_with_code(&error, openError);
        listing.error = zip_error_strerror(&error);
        zip_error_fini(&error);
        return listing;
    }
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &st) != 0) {
            listing.error = zip_strerror(archive);
            zip_discard(archive);
            return listing;
        }
        ArchiveEntry entry;
        entry.name = st.name != nullptr ? st.name : "";
        entry.size = st.size;
        entry.compressedSize = st.comp_size;
        entry.crc = st.crc;
        entry.isFolder = !entry.name.empty() && (entry.name.back() == '/' || entry.name.back() == '\\');
        entry.encrypted = st.encryption_method != ZIP_EM_NONE;
        listing.entries.push_back(std::move(entry));
    }
    zip_discard(archive);
    listing.ok = true;
    return listing;
}

namespace {

bool isDeviceName(std::string_view component)
{
    // The part before the first dot, trailing blanks ignored, as Windows
    // reads "con .txt" and "CON.ini" as the console device.
    std::string_view base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ') {
        base.remove_suffix(1);
    }
    const std::string upper = upperCaseName(base);
    static constexpr std::array<std::string_view, 6> plain = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (std::string_view name : plain) {
        if (upper == name) {
            return true;
        }
    }
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) && upper[3] >= '1' &&
           upper[3] <= '9';
}

}  // namespace

std::optional<fs::path> checkEntryName(const fs::path& folder, std::string_view entryName, std::string* why)
{
    auto refuse = [&](const char* reason) -> std::optional<fs::path> {
        if (why != nullptr) {
            *why = reason;
        }
        return std::nullopt;
    };
    std::string name(entryName);
    for (char& c : name) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (!name.empty() && name.front() == '/') {
        return refuse("absolute path");
    }
    if (name.find(':') != std::string::npos) {
        return refuse("drive letter or ':' in the name");
    }
    fs::path result = folder;
    bool any = false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string::npos) {
            end = name.size();
        }
        const std::string_view component(name.data() + start, end - start);
        start = end + 1;
        if (component.empty() || component == ".") {
            continue;
        }
        if (component == "..") {
            return refuse("\"..\" component");
        }
        for (char c : component) {
            if (static_cast<unsigned char>(c) < 0x20) {
                return refuse("control character in the name");
            }
        }
        if (isDeviceName(component)) {
            return refuse("device name");
        }
        result /= platform::toPath(component);
        any = true;
    }
    if (!any) {
        return refuse("empty name");
    }
    return result;
}

std::optional<TargetProblem> checkTargets(const fs::path& folder, const std::vector<PlannedTarget>& targets)
{
    const auto key = [](std::string text) { return platform::kNamesIgnoreCase ? upperCaseName(text) : text; };
    std::map<std::string, std::string> files;    // target key -> entry
    std::map<std::string, std::string> folders;  // keys of every folder an entry needs
    for (const PlannedTarget& planned : targets) {
        std::vector<std::string> parts;
        for (const fs::path& part : planned.target.lexically_relative(folder)) {
            const std::string name = platform::fromPath(part);
            if (name.empty() || name == ".") {
                continue;
            }
            if (const std::string problem = platform::fileNameProblem(name); !problem.empty()) {
                return TargetProblem{planned.entry, problem};
            }
            parts.push_back(name);
        }
        std::string path;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            path += (i == 0 ? "" : "/") + key(parts[i]);
            const bool last = i + 1 == parts.size();
            if (last && !planned.isFolder) {
                if (folders.contains(path)) {
                    return TargetProblem{planned.entry, "a file where the backup also needs a folder"};
                }
                if (files.contains(path)) {
                    return TargetProblem{planned.entry, "two files of the backup on one file"};
                }
                files.emplace(path, planned.entry);
            } else {
                if (files.contains(path)) {
                    return TargetProblem{planned.entry, "a folder where the backup also has a file"};
                }
                folders.emplace(path, planned.entry);
            }
        }
    }
    return std::nullopt;
}

}  // namespace gm::backup
