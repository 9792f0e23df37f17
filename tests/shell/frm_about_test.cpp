#include <gtest/gtest.h>

#include <QPointer>

#include "platform/process_start.h"
#include "platform/registry.h"
#include "shell/frm_about.h"
#include "support/test_app.h"
#include "ui/geometry.h"

namespace gm::shell {
namespace {

using platform::RegistryData;
using platform::RegistryRoot;
using test::TestApp;

const char* kPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char* kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString kUnavailable = QStringLiteral("System Information Is Unavailable At This Time");

// Records program starts instead of starting anything, and empties the
// registry table before and after each test.
class SysInfo : public testing::Test {
protected:
    SysInfo()
    {
        platform::clearFakeRegistry();
        platform::setProgramStarter([this](const std::filesystem::path& p) {
            started.push_back(p.string());
            return startSucceeds;
        });
        about = new frmAbout(app.context);
        about->Form_Load();
    }
    ~SysInfo() override
    {
        platform::setProgramStarter({});
        platform::clearFakeRegistry();
        delete about.data();
    }
    // An entry of the registry table under HKEY_LOCAL_MACHINE.
    static void entry(const char* key, const char* name, const std::string& value)
    {
        platform::setFakeRegistryValue(RegistryRoot::LocalMachine, key, name, RegistryData{platform::kRegString, value});
    }
    TestApp app;
    QPointer<frmAbout> about;
    std::vector<std::string> started;
    bool startSucceeds = true;
};

TEST_F(SysInfo, ToolFoundThroughThePathEntry)
{
    entry(kPathKey, "PATH", std::string("C:\\Tools\\msinfo32.exe\0", 22));
    about->cmdSysInfo_Click();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], "C:\\Tools\\msinfo32.exe");
}

TEST_F(SysInfo, ToolFoundThroughTheLocationEntry)
{
    app.game.write("msinfo/MSINFO32.EXE", "MZ");
    entry(kLocationKey, "MSINFO", (app.game.path() / "msinfo").string());
    about->cmdSysInfo_Click();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], (app.game.path() / "msinfo" / "MSINFO32.EXE").string());
    EXPECT_FALSE(about->isUnloaded());
}

TEST_F(SysInfo, NeitherEntryShowsTheMessageOnce)
{
    app.dialogs.expect(kUnavailable, ui::Buttons::Ok, ui::Icon::None);
    about->cmdSysInfo_Click();
    EXPECT_TRUE(started.empty());
    EXPECT_EQ(app.dialogs.shown().size(), 1u);
    EXPECT_FALSE(about->isUnloaded());
}

TEST_F(SysInfo, LocationWithoutTheToolOrAFailedStartShowsTheMessage)
{
    entry(kLocationKey, "MSINFO", app.game.text());
    app.dialogs.expect(kUnavailable, ui::Buttons::Ok, ui::Icon::None);
    about->cmdSysInfo_Click();
    EXPECT_TRUE(started.empty());

    entry(kPathKey, "PATH", "C:\\gone.exe");
    startSucceeds = false;
    app.dialogs.expect(kUnavailable, ui::Buttons::Ok, ui::Icon::None);
    about->cmdSysInfo_Click();
    EXPECT_EQ(started.size(), 1u);
    EXPECT_FALSE(about->isUnloaded());
}

TEST(GetKeyValue, ConvertsByValueType)
{
    platform::clearFakeRegistry();
    std::string value = "unchanged";
    EXPECT_FALSE(GetKeyValue(RegistryRoot::LocalMachine, "SOFTWARE\\Nothing", "X", value));
    EXPECT_EQ(value, "");

    platform::setFakeRegistryValue(RegistryRoot::LocalMachine, "K", "S",
                                   RegistryData{platform::kRegString, std::string("text\0", 5)});
    EXPECT_TRUE(GetKeyValue(RegistryRoot::LocalMachine, "K", "S", value));
    EXPECT_EQ(value, "text");

    platform::setFakeRegistryValue(RegistryRoot::LocalMachine, "K", "N",
                                   RegistryData{platform::kRegDword, std::string("\x10\x27\x00\x00", 4)});
    EXPECT_TRUE(GetKeyValue(RegistryRoot::LocalMachine, "K", "N", value));
    EXPECT_EQ(value, "10000");

    value = "kept";
    platform::setFakeRegistryValue(RegistryRoot::LocalMachine, "K", "B", RegistryData{3, "\x01\x02"});
    EXPECT_TRUE(GetKeyValue(RegistryRoot::LocalMachine, "K", "B", value));
    EXPECT_EQ(value, "kept");
    platform::clearFakeRegistry();
}

TEST(AboutBox, Layout)
{
    TestApp app;
    frmAbout about(app.context);
    about.setAttribute(Qt::WA_DeleteOnClose, false);
    EXPECT_EQ(about.windowTitle(), "About Gridmark Editor");
    EXPECT_EQ(about.size(), ui::twipsSize(6135, 4920));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    struct Row {
        QLabel* label;
        const char* text;
        QRect rect;
    };
    const Row rows[] = {
        {about.lblTitle, "Gridmark Editor", ui::twipsRect(1680, 120, 4005, 960)},
        {about.lblVersion, "Version 1.1", ui::twipsRect(2400, 1080, 1245, 225)},
        {about.lblDescription, "Developer :", ui::twipsRect(120, 1560, 1365, 330)},
        {about.Label6, "Tarvel", ui::twipsRect(1680, 1560, 2565, 330)},
        {about.Label1, "Date :", ui::twipsRect(120, 1920, 885, 330)},
        {about.Label5, "March 2003", ui::twipsRect(1680, 1920, 2565, 330)},
        {about.Label2, "Contact Info :", ui::twipsRect(120, 2280, 1605, 330)},
        {about.Label8, "Web site :", ui::twipsRect(120, 2880, 1605, 330)},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.label->text(), row.text);
        EXPECT_EQ(row.label->geometry(), row.rect) << row.text;
        EXPECT_TRUE(row.label->font().families().contains(QStringLiteral("Verdana")));
    }
    EXPECT_EQ(about.Picture1->geometry(), ui::twipsRect(480, 240, 735, 735));
    EXPECT_EQ(about.Picture1->pixmap().size(), QSize(48, 48));
    EXPECT_EQ(about.Text2->geometry(), ui::twipsRect(1680, 2280, 4335, 495));
    EXPECT_EQ(about.Text1->geometry(), ui::twipsRect(1680, 2880, 4455, 375));
    EXPECT_EQ(about.Label3->geometry(), ui::twipsRect(480, 3360, 5205, 330));
    EXPECT_EQ(about.cmdOK->text(), "OK");
    EXPECT_EQ(about.cmdOK->geometry(), ui::twipsRect(4680, 3840, 1260, 465));
    EXPECT_EQ(about.cmdSysInfo->text(), "&System Info...");
    EXPECT_EQ(about.cmdSysInfo->geometry(), ui::twipsRect(4680, 4440, 1245, 345));
    EXPECT_FALSE(about.lblDisclaimer->text().isEmpty());
}

}  // namespace
}  // namespace gm::shell
