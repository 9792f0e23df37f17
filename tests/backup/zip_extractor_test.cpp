#include <gtest/gtest.h>

#include <zip.h>

#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

#include "archive_test_support.h"
#include "backup/archive_entries.h"
#include "backup/zip_builder.h"
#include "backup/zip_extractor.h"

namespace gm::backup {
namespace {

namespace fs = std::filesystem;
using gm::test::TempDir;
using test::ScriptedQuestions;
using test::Tree;

// Game files on a drive of the test's own, packed by our own builder.
struct Packed {
    test::FakeDrive drive;
    std::string archive = drive.dir.text() + "/backup.zip";

    void pack(const Tree& files)
    {
        test::writeTree(drive.folder, files);
        CGZipFiles zip;
        zip.setZipFileName(archive);
        for (const auto& [name, bytes] : files) {
            zip.AddFile(platform::fromPath(drive.folder / platform::toPath(name)));
        }
        ASSERT_EQ(zip.MakeZipFile(), kZipOk) << zip.GetLastMessage();
    }
    std::int32_t unzip(CGUnzipFiles& unzip) const
    {
        unzip.setZipFileName(archive);
        unzip.setExtractDir(drive.rootText());
        return unzip.Unzip();
    }
    Tree files() const { return test::readTree(drive.folder); }
    void damage(const std::string& name) const { test::damageEntry(archive, drive.entry(name)); }
};

const Tree kBackedUp = {{"Game/a.ini", "a from the backup"},
                        {"Game/b.ini", "b from the backup"},
                        {"Game/c.ini", "c from the backup"}};
const Tree kEdited = {{"Game/a.ini", "a edited"}, {"Game/b.ini", "b edited"}, {"Game/c.ini", "c edited"}};

TEST(ZipExtractor, PropertiesAndOptionalArgumentsOfUnzip)
{
    CGUnzipFiles unzip;
    EXPECT_TRUE(unzip.HonorDirectories() && unzip.OverWriteFiles() && unzip.CaseSensitive());
    EXPECT_FALSE(unzip.PromptOverwrite());
    TempDir dir;
    unzip.setZipFileName(dir.text() + "/kept.zip");
    unzip.setExtractDir(dir.text());
    EXPECT_EQ(unzip.Unzip(), kUnzipNotAnArchive);
    EXPECT_NE(unzip.GetLastMessage().find("kept.zip"), std::string::npos);
    // An empty archive argument keeps the property; a given folder replaces it.
    EXPECT_EQ(unzip.Unzip("", dir.text() + "/other"), kUnzipNotAnArchive);
    EXPECT_EQ(unzip.ZipFileName(), dir.text() + "/kept.zip");
    EXPECT_EQ(unzip.ExtractDir(), dir.text() + "/other");
    unzip.Unzip(dir.text() + "/new.zip");
    EXPECT_EQ(unzip.ZipFileName(), dir.text() + "/new.zip");

    // Numeric properties beyond 16 bits raise an overflow from Unzip.
    for (int which = 0; which < 3; ++which) {
        CGUnzipFiles overflowing;
        (which == 0 ? overflowing.setMessageLevel(32768)
                    : which == 1 ? overflowing.setExtractList(-32769) : overflowing.setPrivilege(70000));
        test::expectZipError([&] { overflowing.Unzip("x.zip", "."); }, 6, "CGUnZipFiles::Unzip", "Overflow");
    }

    // Flat folders, blanks to underscores, test mode.
    Packed packed;
    packed.pack({{"Game/sub dir/a b.ini", "one"}, {"Game/c.ini", "two"}});
    const TempDir target;
    CGUnzipFiles flat;
    flat.setHonorDirectories(false);
    flat.setSpaceToUnderScore(true);
    EXPECT_EQ(flat.Unzip(packed.archive, target.text()), kUnzipOk);
    EXPECT_EQ(test::readTree(target.path()), (Tree{{"a_b.ini", "one"}, {"c.ini", "two"}}));

    const TempDir untouched;
    CGUnzipFiles tester;
    tester.setTestZip(true);
    EXPECT_EQ(tester.Unzip(packed.archive, untouched.text()), kUnzipOk);
    EXPECT_TRUE(fs::is_empty(untouched.path()));
    packed.damage("Game/c.ini");
    EXPECT_EQ(tester.Unzip(), kUnzipDamaged);

    EXPECT_FALSE(listArchive(untouched.text() + "/none.zip").ok);
}

TEST(ZipExtractor, ReplaceQuestionAnswers)
{
    Packed packed;
    packed.pack(kBackedUp);
    struct Case {
        bool prompt;
        bool overwrite;
        std::vector<int> answers;
        std::size_t asked;
        Tree expected;
    };
    const Case cases[] = {
        // Without the question existing files are replaced (the default) ...
        {false, true, {}, 0, kBackedUp},
        // ... or kept.
        {false, false, {}, 0, kEdited},
        {true, true, {kReplaceYes, kReplaceNo, kReplaceYes}, 3,
         {{"Game/a.ini", "a from the backup"}, {"Game/b.ini", "b edited"}, {"Game/c.ini", "c from the backup"}}},
        // Cancel keeps that file and every later one without asking again.
        {true, true, {kReplaceYes, kReplaceCancel}, 2,
         {{"Game/a.ini", "a from the backup"}, {"Game/b.ini", "b edited"}, {"Game/c.ini", "c edited"}}},
    };
    for (const Case& c : cases) {
        test::writeTree(packed.drive.folder, kEdited);
        ScriptedQuestions questions;
        questions.replaceAnswers = c.answers;
        CGUnzipFiles unzip;
        unzip.setQuestions(&questions);
        unzip.setPromptOverwrite(c.prompt);
        unzip.setOverWriteFiles(c.overwrite);
        EXPECT_EQ(packed.unzip(unzip), kUnzipOk) << unzip.GetLastMessage();
        EXPECT_EQ(packed.files(), c.expected);
        ASSERT_EQ(questions.replaceAsked.size(), c.asked);
        if (c.asked > 0) {
            EXPECT_EQ(platform::toPath(questions.replaceAsked[0]),
                      (packed.drive.folder / "Game" / "a.ini").make_preferred());
        }
    }
}

TEST(ZipExtractor, TraditionalPasswordIsAskedUntilRightOrRefused)
{
    const std::string archive = test::fixture("traditional.zip");  // zip -P s3cret

    const TempDir target;
    ScriptedQuestions questions;
    questions.passwords = {std::string("wrong"), std::string("s3cret")};
    CGUnzipFiles unzip;
    unzip.setQuestions(&questions);
    EXPECT_EQ(unzip.Unzip(archive, target.text()), kUnzipOk) << unzip.GetLastMessage();
    EXPECT_EQ(questions.passwordAsked, (std::vector<std::string>{"Game/a.ini", "Game/a.ini"}));
    EXPECT_EQ(test::readTree(target.path()), (Tree{{"Game/a.ini", "secret a"}, {"Game/b.ini", "secret b"}}));

    const TempDir refusedTarget;
    ScriptedQuestions refusing;
    refusing.passwords = {std::string()};
    unzip.setQuestions(&refusing);
    EXPECT_EQ(unzip.Unzip(archive, refusedTarget.text()), kUnzipBadPassword);
    EXPECT_EQ(refusing.passwordAsked.size(), 1u);
    EXPECT_EQ(unzip.lastReport().filesSkipped, 2u);
    EXPECT_EQ(test::readTree(refusedTarget.path()).size(), 0u);
    EXPECT_NE(unzip.GetLastMessage().find("skipping: Game/b.ini  incorrect password"), std::string::npos);

}

TEST(ZipExtractor, AesArchivesRestoreWithTheRightPasswordOnly)
{
    // 7-Zip's AES entries (AE-2) carry no CRC: a MAC protects their data.
    const std::string archive = test::fixture("aes-7zip.zip");  // 7z a -tzip -ps3cret -mem=AES256
    const Tree files = {{"Game/tiny.ini", "tiny"},
                        {"Game/small.ini", [] {
                             std::string text;
                             for (int i = 0; i < 100; ++i) {
                                 text += "strength=95\r\n";
                             }
                             return text;
                         }()},
                        {"Game/replay.rpy", test::pattern(30000)}};
    for (std::uint64_t threshold : {kDefaultStreamingThreshold, std::uint64_t{0}}) {
        const TempDir target;
        ScriptedQuestions questions;
        questions.passwords = {std::string("wrong"), std::string("s3cret")};
        CGUnzipFiles unzip;
        unzip.setQuestions(&questions);
        unzip.setStreamingThreshold(threshold);
        EXPECT_EQ(unzip.Unzip(archive, target.text()), kUnzipOk) << unzip.GetLastMessage();
        EXPECT_EQ(questions.passwordAsked.size(), 2u);
        EXPECT_EQ(test::readTree(target.path()), files);
    }

    // A wrong password is still refused.
    const TempDir refusedTarget;
    ScriptedQuestions refusing;
    refusing.passwords = {std::string("wrong"), std::string()};
    CGUnzipFiles unzip;
    unzip.setQuestions(&refusing);
    EXPECT_EQ(unzip.Unzip(archive, refusedTarget.text()), kUnzipBadPassword);
    EXPECT_EQ(unzip.lastReport().filesSkipped, 3u);
    EXPECT_TRUE(test::readTree(refusedTarget.path()).empty());

    // Changed data fails its MAC: damaged, and nothing is written.
    TempDir dir;
    const std::string changed = dir.text() + "/changed.zip";
    gm::test::writeBytes(platform::toPath(changed), gm::test::readBytes(platform::toPath(archive)));
    test::damageEntry(changed, "Game/replay.rpy");
    const TempDir damagedTarget;
    ScriptedQuestions right;
    right.passwords = {std::string("s3cret")};
    unzip.setQuestions(&right);
    EXPECT_EQ(unzip.Unzip(changed, damagedTarget.text()), kUnzipDamaged) << unzip.GetLastMessage();
    EXPECT_NE(unzip.GetLastMessage().find("Game/replay.rpy"), std::string::npos) << unzip.GetLastMessage();
    EXPECT_TRUE(test::readTree(damagedTarget.path()).empty());

    // libzip's own: entries of fewer than 20 bytes are AE-2 too.
    const std::string small = dir.text() + "/libzip.zip";
    const Tree smallFiles = {{"Game/a.ini", "a1"}, {"Game/b.ini", "b, long enough for AE-1"}};
    test::writeArchive(platform::toPath(small), {smallFiles.begin(), smallFiles.end()}, "k3y");
    const TempDir smallTarget;
    ScriptedQuestions key;
    key.passwords = {std::string("k3y")};
    unzip.setQuestions(&key);
    EXPECT_EQ(unzip.Unzip(small, smallTarget.text()), kUnzipOk) << unzip.GetLastMessage();
    EXPECT_EQ(test::readTree(smallTarget.path()), smallFiles);
}

TEST(ZipExtractor, HostileArchivesAreRefusedWithNothingWritten)
{
    const std::pair<const char*, std::int32_t> cases[] = {
        {"dotdot", kUnzipRefused},   {"absolute", kUnzipRefused},   {"drive", kUnzipRefused},
        {"backslash", kUnzipRefused}, {"device", kUnzipRefused},    {"symlink", kUnzipRefused},
        {"chardevice", kUnzipRefused}, {"ratio", kUnzipRefused},    {"bomb", kUnzipDamaged},
    };
    for (const auto& [name, expected] : cases) {
        for (std::uint64_t threshold : {kDefaultStreamingThreshold, std::uint64_t{0}}) {
            const TempDir target;
            const fs::path inner = target.mkdir("a/b");
            CGUnzipFiles unzip;
            unzip.setStreamingThreshold(threshold);
            EXPECT_EQ(unzip.Unzip(test::fixture("hostile-" + std::string(name) + ".zip"), platform::fromPath(inner)),
                      expected)
                << name << ": " << unzip.GetLastMessage();
            EXPECT_TRUE(fs::is_empty(inner)) << name;
            EXPECT_EQ(test::readTree(target.path()).size(), 0u) << name;
            EXPECT_EQ(unzip.lastReport().filesRestored, 0u);
            if (expected == kUnzipRefused) {
                EXPECT_NE(unzip.lastReport().refusedEntry, "Game/ok.ini") << name;
                EXPECT_NE(unzip.GetLastMessage().find(unzip.lastReport().refusedEntry), std::string::npos);
            }
        }
    }
    std::string why;
    EXPECT_FALSE(checkEntryName("/x", "a/./../b", &why));
    EXPECT_EQ(why, "\"..\" component");
    EXPECT_FALSE(checkEntryName("/x", "lpt1 .txt"));
    EXPECT_FALSE(checkEntryName("/x", "./"));
    EXPECT_EQ(checkEntryName("/x", "a\\.\\b//c.ini"), fs::path("/x/a/b/c.ini"));
    EXPECT_EQ(checkEntryName("/x", "console/com10.ini"), fs::path("/x/console/com10.ini"));
}

TEST(ZipExtractor, BytesAfterTheEndOfADeflateStreamDoNotMatterOnEitherPath)
{
    // As Info-ZIP's unzip and Python's zipfile read them: the entry is its
    // deflate stream; what follows it within the compressed size is not
    // data. Size and CRC still have to be right.
    std::string text;
    for (int i = 0; i < 100; ++i) {
        text += "hello world ";
    }
    for (std::uint64_t threshold : {kDefaultStreamingThreshold, std::uint64_t{0}}) {
        const TempDir target;
        CGUnzipFiles unzip;
        unzip.setStreamingThreshold(threshold);
        EXPECT_EQ(unzip.Unzip(test::fixture("trailing-bytes.zip"), target.text()), kUnzipOk)
            << threshold << ": " << unzip.GetLastMessage();
        EXPECT_EQ(test::readTree(target.path()), (Tree{{"Game/ok.ini", "fine\r\n"}, {"Game/t.ini", text}}));
    }
}

TEST(ZipExtractor, DamagedEntryLeavesEveryGameFileAsItWas)
{
    std::mt19937 random(3);
    const Tree backedUp = {{"Game/a.ini", "a from the backup"},
                           {"Game/replay/r.rpy", test::gameBytes(random, 300000)},
                           {"Game/z.ini", "z from the backup"}};
    for (std::uint64_t threshold : {kDefaultStreamingThreshold, std::uint64_t{1000}}) {
        Packed packed;
        packed.pack(backedUp);
        packed.damage("Game/replay/r.rpy");
        const Tree before = {{"Game/a.ini", "old a"}, {"Game/replay/r.rpy", "old replay"}};
        fs::remove_all(packed.drive.folder / "Game");
        test::writeTree(packed.drive.folder, before);
        CGUnzipFiles unzip;
        unzip.setStreamingThreshold(threshold);
        EXPECT_EQ(packed.unzip(unzip), kUnzipDamaged) << unzip.GetLastMessage();
        EXPECT_EQ(packed.files(), before);
        EXPECT_NE(unzip.GetLastMessage().find("Game/replay/r.rpy"), std::string::npos) << unzip.GetLastMessage();
    }
}

TEST(ZipExtractor, NamesThatCannotBeMadeHereOrThatClashAreRefusedBeforeAnythingIsWritten)
{
    const std::string tooLong(256, 'n');
    struct Case {
        std::vector<std::pair<std::string, std::string>> entries;
        std::string refused;  // empty: restored
    };
    const Case cases[] = {
        // A file and a folder of one name, either way round.
        {{{"Game/a.ini", "new a"}, {"Game/x", "file"}, {"Game/x/", ""}}, "Game/x/"},
        {{{"Game/a.ini", "new a"}, {"Game/x/y.ini", "below"}, {"Game/x", "file"}}, "Game/x"},
        // Two entries on one file.
        {{{"Game/a.ini", "new a"}, {"Game/./b.ini", "one"}, {"Game/b.ini", "two"}}, "Game/b.ini"},
        // A name longer than the file system takes (the temporary file's
        // name would still fit).
        {{{"Game/a.ini", "new a"}, {"Game/" + tooLong, "long"}}, "Game/" + tooLong},
        // Letter case tells files apart only where the file system does.
        {{{"Game/a.ini", "new a"}, {"Game/A.INI", "upper"}}, platform::kNamesIgnoreCase ? "Game/A.INI" : ""},
#ifdef _WIN32
        // Names Windows would change or refuse.
        {{{"Game/a.ini", "new a"}, {"Game/b.ini.", "dot"}}, "Game/b.ini."},
        {{{"Game/a.ini", "new a"}, {"Game/b?.ini", "mark"}}, "Game/b?.ini"},
#endif
    };
    for (const Case& c : cases) {
        const TempDir dir;
        const fs::path target = dir.mkdir("target");
        test::writeTree(target, {{"Game/a.ini", "old a"}});
        const fs::path archive = dir.path() / "clash.zip";
        test::writeArchive(archive, c.entries);
        CGUnzipFiles unzip;
        const std::int32_t result = unzip.Unzip(platform::fromPath(archive), platform::fromPath(target));
        if (c.refused.empty()) {
            EXPECT_EQ(result, kUnzipOk) << unzip.GetLastMessage();
            continue;
        }
        EXPECT_EQ(result, kUnzipRefused) << c.refused << ": " << unzip.GetLastMessage();
        EXPECT_EQ(unzip.lastReport().refusedEntry, c.refused);
        EXPECT_FALSE(unzip.lastReport().refusedUnsafe);
        EXPECT_EQ(test::readTree(target), (Tree{{"Game/a.ini", "old a"}})) << c.refused;
    }
}

TEST(ZipExtractor, WhenAFileCannotTakeItsPlaceEveryFileIsPutBackAsItWas)
{
    Packed packed;
    packed.pack({{"Game/a.ini", "a from the backup"}, {"Game/b.ini", "b from the backup"},
                 {"Game/b2.ini", "new in the backup"}, {"Game/c.ini", "c from the backup"}});
    const Tree before = {{"Game/a.ini", "a edited"}, {"Game/b.ini", "b edited"}, {"Game/c.ini", "c edited"}};
    fs::remove_all(packed.drive.folder / "Game");
    test::writeTree(packed.drive.folder, before);
    fs::permissions(packed.drive.folder / "Game" / "b.ini", fs::perms::owner_read, fs::perm_options::replace);

    // While the questions are asked, a folder takes c.ini's place: the
    // renames of a.ini, b.ini and b2.ini have been done when c.ini fails.
    ScriptedQuestions questions;
    questions.onReplace = [&packed](const std::string& name) {
        if (name.ends_with("c.ini")) {
            fs::remove(packed.drive.folder / "Game" / "c.ini");
            test::writeTree(packed.drive.folder, {{"Game/c.ini/in the way", "x"}});
        }
    };
    WorkProgress progress;
    CGUnzipFiles unzip;
    unzip.setQuestions(&questions);
    unzip.setPromptOverwrite(true);
    unzip.setWorkProgress(&progress);
    EXPECT_EQ(packed.unzip(unzip), kUnzipDiskError) << unzip.GetLastMessage();
    EXPECT_EQ(questions.replaceAsked.size(), 3u);
    Tree now = before;
    now.erase("Game/c.ini");
    now["Game/c.ini/in the way"] = "x";
    EXPECT_EQ(packed.files(), now) << "stray, lost or half restored files";
    EXPECT_EQ(unzip.lastReport().filesRestored, 0u);
    EXPECT_EQ(progress.filesWritten, 0u);
    EXPECT_NE(unzip.GetLastMessage().find("c.ini"), std::string::npos) << unzip.GetLastMessage();
    EXPECT_EQ(fs::status(packed.drive.folder / "Game" / "b.ini").permissions() & fs::perms::owner_write,
              fs::perms::none);
}

TEST(ZipExtractor, AReplacedFileKeepsItsPermissionBitsOrAttributes)
{
    Packed packed;
    packed.pack({{"Game/locked.ini", "locked from the backup"}, {"Game/open.ini", "open from the backup"}});
    const fs::path locked = packed.drive.folder / "Game" / "locked.ini";
    const fs::path open = packed.drive.folder / "Game" / "open.ini";
    test::writeTree(packed.drive.folder, {{"Game/locked.ini", "locked edited"}});
    fs::remove(open);
    // Read-only (0440 on POSIX, the read-only attribute on Windows).
    fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read, fs::perm_options::replace);
#ifdef _WIN32
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
#endif
    const fs::perms before = fs::status(locked).permissions();

    CGUnzipFiles unzip;
    EXPECT_EQ(packed.unzip(unzip), kUnzipOk) << unzip.GetLastMessage();
    EXPECT_EQ(gm::test::readBytes(locked), "locked from the backup");
    EXPECT_EQ(fs::status(locked).permissions(), before);
    EXPECT_NE(fs::status(open).permissions() & fs::perms::owner_write, fs::perms::none);  // a new file: writable
#ifdef _WIN32
    // Windows marks the changed file for archiving on its own.
    EXPECT_EQ(GetFileAttributesW(locked.c_str()) & ~DWORD{FILE_ATTRIBUTE_ARCHIVE},
              DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN});
#endif
    EXPECT_EQ(packed.files().size(), 2u) << "stray files";
}

TEST(ZipExtractor, CancelLeavesEveryFileAsItWas)
{
    std::mt19937 random(5);
    Tree backedUp;
    Tree edited;
    for (int i = 0; i < 60; ++i) {
        const std::string name = "Game/f" + std::to_string(i) + ".rpy";
        backedUp[name] = test::gameBytes(random, 100000);
        edited[name] = "edited " + std::to_string(i);
    }
    Packed packed;
    packed.pack(backedUp);

    // Cancelled while the questions are asked: nothing is restored.
    test::writeTree(packed.drive.folder, edited);
    WorkProgress progress;
    ScriptedQuestions questions;
    questions.cancelOnReplace = &progress;
    CGUnzipFiles unzip;
    unzip.setQuestions(&questions);
    unzip.setPromptOverwrite(true);
    unzip.setWorkProgress(&progress);
    EXPECT_EQ(packed.unzip(unzip), kUnzipCancelled);
    EXPECT_EQ(packed.files(), edited);
    EXPECT_EQ(progress.filesWritten, 0u);

    // Cancelled once work has begun, on either path.
    for (std::uint64_t threshold : {kDefaultStreamingThreshold, std::uint64_t{0}}) {
        WorkProgress running;
        CGUnzipFiles later;
        later.setWorkProgress(&running);
        later.setStreamingThreshold(threshold);
        std::thread watcher = test::cancelOnceBegun(running);
        const std::int32_t result = packed.unzip(later);
        watcher.join();
        EXPECT_EQ(result, kUnzipCancelled);
        EXPECT_EQ(packed.files(), edited) << "stray, lost or restored files";
        EXPECT_EQ(later.lastReport().filesRestored, 0u);
        EXPECT_EQ(running.filesWritten, 0u);
    }
}

}  // namespace
}  // namespace gm::backup
