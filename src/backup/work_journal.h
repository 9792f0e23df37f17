// The files a backup or restore has in flight, written down before they
// are made, so that a crash or a kill does not leave them for good. A
// killed backup leaves its half-written archive (NAME.zip.tmp and libzip's
// NAME.zip.tmp.XXXXXX) in the backup folder; a killed restore leaves its
// temporary files (.~NAME.<hex>.tmp) beside the game files, and may have
// moved game files aside (.~NAME.<hex>.old) while it put new ones in place.
// The next backup or restore cleans up after every journal whose work has
// ended (cleanUpEndedWork); nothing a journal does not name is touched.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace gm::platform {
class WorkLock;
}

namespace gm::backup {

class WorkJournal {
public:
    // Starts a journal in `folder` (made when missing). A journal that
    // cannot be written is no reason to stop the work: its notes then go
    // nowhere, and a crash would leave the files as before.
    explicit WorkJournal(const std::filesystem::path& folder);
    // Without finish(), the journal stays for cleanUpEndedWork (the work
    // ended without putting everything away, an exception say).
    ~WorkJournal();
    WorkJournal(const WorkJournal&) = delete;
    WorkJournal& operator=(const WorkJournal&) = delete;

    // Before the work makes a temporary file of its own.
    void temporary(const std::filesystem::path& file);
    // Before a packing writes `archive` under its temporary name, and
    // libzip its own temporary files beside it (`archive`.XXXXXX).
    void archive(const std::filesystem::path& archive);
    // Before a restore moves the file at `target` aside to `aside`.
    void aside(const std::filesystem::path& target, const std::filesystem::path& aside);
    // Before a restore renames its new `file` onto `target`. The file at
    // `target` is the restore's own as long as it has the size and the
    // modification time `file` has now; once the game or the user has
    // written it, a clean-up leaves it alone.
    void placing(const std::filesystem::path& target, const std::filesystem::path& file);
    // Every file of the restore is in place: what is aside may go.
    void committed();
    // The work has put away everything it made: the journal goes.
    void finish();

private:
    void note(const char* kind, const std::filesystem::path& path);
    void line(const char* kind, const std::string& text);

    std::filesystem::path folder_;
    std::filesystem::path path_;
    std::unique_ptr<platform::WorkLock> lock_;
    std::ofstream out_;
};

// Cleans up after the work of every journal in `folder` whose work has
// ended: removes the temporary files and unfinished archives it names; of a
// restore that did not reach its end, removes the new files it placed that
// are still as it placed them and puts the files it moved aside back where
// nothing is in their way (a target written since keeps what it holds, and
// the old file its side name); of one that did, removes what is aside.
// Journals of work still going on (in this or another running program) are
// left alone. Returns how many journals it cleaned up after.
int cleanUpEndedWork(const std::filesystem::path& folder);

}  // namespace gm::backup
