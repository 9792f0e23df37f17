#include "backup/work_journal.h"

#include <cctype>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "platform/fs.h"
#include "platform/work_lock.h"

namespace gm::backup {

namespace fs = std::filesystem;

namespace {

constexpr const char* kJournalSuffix = ".journal";
constexpr const char* kLockSuffix = ".lock";

// One line per note: a kind, a blank, the path as UTF-8 with '%', CR and
// LF written as %25, %0D and %0A.
std::string encode(const fs::path& path)
{
    std::string out;
    for (const char c : platform::fromPath(path)) {
        switch (c) {
        case '%': out += "%25"; break;
        case '\r': out += "%0D"; break;
        case '\n': out += "%0A"; break;
        default: out += c; break;
        }
    }
    return out;
}

fs::path decode(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, "%25") == 0) {
            out += '%';
            i += 2;
        } else if (text.compare(i, 3, "%0D") == 0) {
            out += '\r';
            i += 2;
        } else if (text.compare(i, 3, "%0A") == 0) {
            out += '\n';
            i += 2;
        } else {
            out += text[i];
        }
    }
    return platform::toPath(out);
}

std::string randomName()
{
    std::mt19937_64 random(std::random_device{}());
    static constexpr char digits[] = "0123456789abcdef";
    std::string name;
    for (std::uint64_t value = random(); name.size() < 16; value >>= 4) {
        name += digits[value & 0xF];
    }
    return name;
}

// Removes a file (a link itself, not what it points to); never a folder.
void removeFile(const fs::path& path)
{
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    if (fs::is_regular_file(status)) {
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);  // read-only on Windows
        fs::remove(path, ec);
    } else if (fs::is_symlink(status)) {
        fs::remove(path, ec);
    }
}

// libzip writes an archive to `archive`.XXXXXX first (six letters or
// digits on POSIX, eight hex digits on Windows) and renames it.
void removeArchiveLeftovers(const fs::path& archive)
{
    removeFile(archive);
    const std::string base = platform::fromPath(archive.filename()) + ".";
    for (const platform::DirEntry& entry : platform::listVisible(archive.parent_path())) {
        if (entry.isFolder || !entry.name.starts_with(base)) {
            continue;
        }
        const std::string suffix = entry.name.substr(base.size());
        bool random = suffix.size() >= 6 && suffix.size() <= 8;
        for (const char c : suffix) {
            random = random && std::isalnum(static_cast<unsigned char>(c)) != 0;
        }
        if (random) {
            removeFile(archive.parent_path() / platform::toPath(entry.name));
        }
    }
}

// What identifies a file the restore placed: its size and modification
// time, as one line of text.
std::string stampOf(const fs::path& file)
{
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(file, ec))) {
        return {};
    }
    const std::uintmax_t size = fs::file_size(file, ec);
    if (ec) {
        return {};
    }
    const fs::file_time_type time = fs::last_write_time(file, ec);
    if (ec) {
        return {};
    }
    return std::to_string(size) + ' ' + std::to_string(time.time_since_epoch().count());
}

struct Placing {
    fs::path target;
    std::string stamp;  // of the new file; empty when it could not be read
};

struct Notes {
    std::vector<fs::path> temporaries;
    std::vector<fs::path> archives;
    std::vector<std::pair<fs::path, fs::path>> asides;  // target, aside
    std::vector<Placing> placing;
    bool committed = false;
};

Notes readNotes(const fs::path& journal)
{
    Notes notes;
    std::ifstream in(journal, std::ios::binary);
    std::string line;
    fs::path target;
    while (std::getline(in, line)) {
        const std::size_t blank = line.find(' ');
        const std::string kind = line.substr(0, blank);
        const fs::path path = blank == std::string::npos ? fs::path() : decode(line.substr(blank + 1));
        if (kind == "temporary") {
            notes.temporaries.push_back(path);
        } else if (kind == "archive") {
            notes.archives.push_back(path);
        } else if (kind == "target") {
            target = path;
        } else if (kind == "aside" && !target.empty()) {
            notes.asides.emplace_back(target, path);
        } else if (kind == "placing") {
            notes.placing.push_back({path, {}});
        } else if (kind == "stamp" && !notes.placing.empty() && blank != std::string::npos) {
            notes.placing.back().stamp = line.substr(blank + 1);
        } else if (kind == "committed") {
            notes.committed = true;
        }
    }
    return notes;
}

void cleanUpAfter(const Notes& notes)
{
    for (const fs::path& file : notes.temporaries) {
        removeFile(file);
    }
    for (const fs::path& archive : notes.archives) {
        removeArchiveLeftovers(archive);
    }
    if (notes.committed) {
        for (const auto& [target, aside] : notes.asides) {
            removeFile(aside);
        }
        return;
    }
    // The restore did not reach its end: back as it was, as far as nobody
    // has written the files since. A new file still as the restore placed
    // it goes; one written since is no longer the restore's to remove.
    for (const Placing& placed : notes.placing) {
        if (!placed.stamp.empty() && stampOf(placed.target) == placed.stamp) {
            removeFile(placed.target);
        }
    }
    // A file moved aside goes back where its place is free: a file there
    // now is one written since, and the old one keeps its side name.
    for (auto it = notes.asides.rbegin(); it != notes.asides.rend(); ++it) {
        const auto& [target, aside] = *it;
        std::error_code ec;
        if (!fs::is_regular_file(fs::symlink_status(aside, ec)) || fs::exists(fs::symlink_status(target, ec))) {
            continue;
        }
        fs::rename(aside, target, ec);
    }
}

}  // namespace

WorkJournal::WorkJournal(const fs::path& folder) : folder_(folder)
{
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string name = randomName();
    lock_ = std::make_unique<platform::WorkLock>(folder / (name + kLockSuffix));
    if (!lock_->held()) {
        return;
    }
    path_ = folder / (name + kJournalSuffix);
    out_.open(path_, std::ios::binary | std::ios::trunc);
}

WorkJournal::~WorkJournal()
{
    lock_.reset();
    std::error_code ec;
    fs::remove(folder_, ec);  // only when no other journal is in it
}

void WorkJournal::note(const char* kind, const fs::path& path) { line(kind, encode(path)); }

void WorkJournal::line(const char* kind, const std::string& text)
{
    if (out_.is_open()) {
        out_ << kind << ' ' << text << '\n';
        out_.flush();
    }
}

void WorkJournal::temporary(const fs::path& file) { note("temporary", file); }
void WorkJournal::archive(const fs::path& archive) { note("archive", archive); }

void WorkJournal::aside(const fs::path& target, const fs::path& aside)
{
    note("target", target);
    note("aside", aside);
}

void WorkJournal::placing(const fs::path& target, const fs::path& file)
{
    note("placing", target);
    line("stamp", stampOf(file));
}

void WorkJournal::committed() { note("committed", fs::path()); }

void WorkJournal::finish()
{
    if (out_.is_open()) {
        out_.close();
        std::error_code ec;
        fs::remove(path_, ec);
    }
}

int cleanUpEndedWork(const fs::path& folder)
{
    int cleaned = 0;
    for (const platform::DirEntry& entry : platform::listVisible(folder)) {
        if (entry.isFolder || !entry.name.ends_with(kJournalSuffix)) {
            continue;
        }
        const fs::path journal = folder / platform::toPath(entry.name);
        const std::string name = entry.name.substr(0, entry.name.size() - std::string(kJournalSuffix).size());
        // Held by work still going on: not ours to touch.
        const platform::WorkLock lock(folder / platform::toPath(name + kLockSuffix));
        if (!lock.held()) {
            continue;
        }
        cleanUpAfter(readNotes(journal));
        std::error_code ec;
        fs::remove(journal, ec);
        ++cleaned;
    }
    std::error_code ec;
    fs::remove(folder, ec);  // only when empty
    return cleaned;
}

}  // namespace gm::backup
