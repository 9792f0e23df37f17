// Runs the tests inside a QApplication on the offscreen platform, with HOME
// and the XDG folders pointed at a private temporary folder, so that no test
// can reach the user's own files or trash. Windows has no such place for
// its Recycle Bin: the tests look only at the items that came from their
// own temporary folders, and those are erased from the bin at the end.
#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "support/trash.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const std::filesystem::path home = std::filesystem::temp_directory_path() /
                                       ("gm-home-" + std::to_string(QCoreApplication::applicationPid()));
    std::filesystem::create_directories(home / ".local" / "share");
    std::filesystem::create_directories(home / ".config");
    qputenv("HOME", home.string().c_str());
    qputenv("XDG_DATA_HOME", (home / ".local" / "share").string().c_str());
    qputenv("XDG_CONFIG_HOME", (home / ".config").string().c_str());
    const std::filesystem::path runtime = home / "runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
    qputenv("XDG_RUNTIME_DIR", runtime.string().c_str());

    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
#ifdef _WIN32
    // What the tests put in the Recycle Bin leaves it again.
    gm::test::eraseTestItemsFromTrash();
#endif
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
    return result;
}
