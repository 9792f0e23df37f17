#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/process_start.h"
#include "platform/registry.h"
#include "shell/frm_about.h"
#include "support/control_table.h"
#include "support/keyboard.h"
#include "support/test_app.h"
#include "ui/geometry.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace gm::shell {
namespace {

using platform::RegistryData;
using platform::RegistryRoot;
using test::TestApp;

// An entry of the registry table under HKEY_LOCAL_MACHINE.
void entry(const char* key, const char* name, const RegistryData& data)
{
    platform::setFakeRegistryValue(RegistryRoot::LocalMachine, key, name, data);
}

// Opens the About box and presses System Info with Enter (not OK, though OK
// is the default button); it shows its message when `unavailable`, and the
// box stays open either way. Enter on OK closes it.
void pressSystemInfo(TestApp& app, bool unavailable)
{
    if (unavailable) {
        app.dialogs.expect(QStringLiteral("System Information Is Unavailable At This Time"), ui::Buttons::Ok,
                           ui::Icon::None);
    }
    frmAbout about(app.context);
    about.setAttribute(Qt::WA_DeleteOnClose, false);
    about.Form_Load();
    EXPECT_EQ(test::buttonsDeafToEnter(about), QStringList());
    EXPECT_TRUE(test::pressOn(about.cmdSysInfo, Qt::Key_Return));
    app.dialogs.verifyAllShown();
    EXPECT_FALSE(about.isUnloaded());
    EXPECT_TRUE(test::pressOn(about.cmdOK, Qt::Key_Enter));
    EXPECT_TRUE(about.isUnloaded());
}

TEST(AboutBox, SystemInfoStartsTheToolFoundThroughEitherEntryOrShowsTheMessage)
{
    const char* kPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    const char* kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
    TestApp app;
    app.game.write("msinfo/MSINFO32.EXE", "MZ");
    const std::string tool = (app.game.path() / "msinfo" / "MSINFO32.EXE").string();
    struct Case {
        const char* pathEntry;     // null: none
        std::string locationEntry;  // empty: none
        bool startSucceeds;
        std::vector<std::string> started;
    };
    const Case cases[] = {
        {"C:\\Tools\\msinfo32.exe", {}, true, {"C:\\Tools\\msinfo32.exe"}},  // its terminating zero is dropped
        {nullptr, (app.game.path() / "msinfo").string(), true, {tool}},
        {nullptr, {}, true, {}},
        {nullptr, app.game.text(), true, {}},  // a location without the tool
        {"C:\\gone.exe", {}, false, {"C:\\gone.exe"}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        platform::clearFakeRegistry();
        if (c.pathEntry != nullptr) {
            entry(kPathKey, "PATH", {platform::kRegString, c.pathEntry + std::string(1, '\0')});
        }
        if (!c.locationEntry.empty()) {
            entry(kLocationKey, "MSINFO", {platform::kRegString, c.locationEntry});
        }
        std::vector<std::string> started;
        platform::setProgramStarter([&](const std::filesystem::path& p) {
            started.push_back(p.string());
            return c.startSucceeds;
        });
        pressSystemInfo(app, !c.startSucceeds || c.started.empty());
        EXPECT_EQ(started, c.started);
        app.dialogs.verifyAllShown();
    }
    platform::setProgramStarter({});
    platform::clearFakeRegistry();
}

TEST(GetKeyValue, ConvertsByValueType)
{
    platform::clearFakeRegistry();
    std::string value = "unchanged";
    EXPECT_FALSE(GetKeyValue(RegistryRoot::LocalMachine, "SOFTWARE\\Nothing", "X", value));
    EXPECT_EQ(value, "");
    entry("K", "S", {platform::kRegString, std::string("text\0", 5)});
    EXPECT_TRUE(GetKeyValue(RegistryRoot::LocalMachine, "K", "S", value));
    EXPECT_EQ(value, "text");
    entry("K", "N", {platform::kRegDword, std::string("\x10\x27\x00\x00", 4)});
    EXPECT_TRUE(GetKeyValue(RegistryRoot::LocalMachine, "K", "N", value));
    EXPECT_EQ(value, "10000");
    value = "kept";
    entry("K", "B", {3, "\x01\x02"});
    EXPECT_TRUE(GetKeyValue(RegistryRoot::LocalMachine, "K", "B", value));
    EXPECT_EQ(value, "kept");
    platform::clearFakeRegistry();
}

#ifdef _WIN32

// A value of the real registry under HKEY_LOCAL_MACHINE, read with the
// system's own string and number reader; nothing when it is not there.
std::optional<std::wstring> machineText(const wchar_t* key, const wchar_t* name)
{
    wchar_t buffer[1024];
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(buffer);
}

TEST(GetKeyValue, ReadsStringsAndNumbersOfTheWindowsRegistry)
{
    platform::clearFakeRegistry();
    const char* kVersionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    // Every Windows (and Wine) has these two: a string and a 32-bit number.
    const std::optional<std::wstring> version =
        machineText(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"CurrentVersion");
    ASSERT_TRUE(version.has_value());
    std::string value;
    EXPECT_TRUE(GetKeyValue(RegistryRoot::LocalMachine, kVersionKey, "CurrentVersion", value));
    EXPECT_EQ(QString::fromStdString(value).toStdWString(), *version) << "without its terminating zero";
    DWORD installed = 0;
    DWORD size = sizeof installed;
    ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"InstallDate",
                           RRF_RT_REG_DWORD, nullptr, &installed, &size),
              ERROR_SUCCESS);
    EXPECT_TRUE(GetKeyValue(RegistryRoot::LocalMachine, kVersionKey, "InstallDate", value));
    EXPECT_EQ(value, std::to_string(installed));
    // Key and value names are the registry's, without case.
    EXPECT_TRUE(GetKeyValue(RegistryRoot::LocalMachine, "software\\microsoft\\windows nt\\currentversion",
                            "currentversion", value));
    EXPECT_EQ(QString::fromStdString(value).toStdWString(), *version);

    value = "unchanged";
    EXPECT_FALSE(GetKeyValue(RegistryRoot::LocalMachine, kVersionKey, "Gridmark Editor test: no such value", value));
    EXPECT_EQ(value, "");
    value = "unchanged";
    EXPECT_FALSE(GetKeyValue(RegistryRoot::LocalMachine, "SOFTWARE\\Gridmark Editor test\\no such key", "PATH", value));
    EXPECT_EQ(value, "");
}

TEST(AboutBox, SystemInfoOnThisWindowsStartsTheToolItsRegistryNamesOrSaysItIsUnavailable)
{
    // Nothing is started: the starter records what would be.
    platform::clearFakeRegistry();
    std::vector<std::filesystem::path> started;
    platform::setProgramStarter([&](const std::filesystem::path& p) {
        started.push_back(p);
        return true;
    });
    // What this system's registry holds, read here with the system's own
    // reader (Wine has the first key, without a PATH value).
    const std::optional<std::wstring> path = machineText(L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH");
    const std::optional<std::wstring> location = machineText(L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO");
    const bool toolInLocation =
        location && std::filesystem::is_regular_file(std::filesystem::path(*location) / "MSINFO32.EXE");
    TestApp app;
    pressSystemInfo(app, !path && !toolInLocation);
    if (path) {
        EXPECT_EQ(started, std::vector<std::filesystem::path>{std::filesystem::path(*path)});
    } else if (toolInLocation) {
        ASSERT_EQ(started.size(), 1u);
        EXPECT_TRUE(std::filesystem::equivalent(started[0], std::filesystem::path(*location) / "MSINFO32.EXE"));
    } else {
        EXPECT_TRUE(started.empty());
    }
    platform::setProgramStarter({});
}

#endif

TEST(AboutBox, Layout)
{
    TestApp app;
    frmAbout about(app.context);
    about.setAttribute(Qt::WA_DeleteOnClose, false);
    EXPECT_EQ(about.windowTitle(), "About Gridmark Editor");
    EXPECT_EQ(about.size(), ui::twipsSize(6135, 4920));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    test::expectControls(about, {
        {"lblTitle", "Gridmark Editor", "", 1680, 120, 4005, 960},
        {"lblVersion", "Version 1.1", "", 2400, 1080, 1245, 225},
        {"lblDescription", "Developer :", "", 120, 1560, 1365, 330},
        {"Label6", "Tarvel", "", 1680, 1560, 2565, 330},
        {"Label1", "Date :", "", 120, 1920, 885, 330},
        {"Label5", "March 2003", "", 1680, 1920, 2565, 330},
        {"Label2", "Contact Info :", "", 120, 2280, 1605, 330},
        {"Label8", "Web site :", "", 120, 2880, 1605, 330},
        {"Picture1", nullptr, "", 480, 240, 735, 735},
        {"Text2", nullptr, "", 1680, 2280, 4335, 495},
        {"Text1", nullptr, "", 1680, 2880, 4455, 375},
        {"Label3", nullptr, "", 480, 3360, 5205, 330},
        {"cmdOK", "OK", "", 4680, 3840, 1260, 465},
        {"cmdSysInfo", "&System Info...", "", 4680, 4440, 1245, 345},
    });
    for (const QLabel* label : {about.lblTitle, about.lblVersion, about.lblDescription, about.Label6, about.Label1,
                                about.Label5, about.Label2, about.Label8}) {
        EXPECT_TRUE(label->font().families().contains(QStringLiteral("Verdana"))) << label->text().toStdString();
    }
    EXPECT_EQ(about.Picture1->pixmap().size(), QSize(48, 48));
    EXPECT_FALSE(about.lblDisclaimer->text().isEmpty());
}

}  // namespace
}  // namespace gm::shell
