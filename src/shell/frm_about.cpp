#include "shell/frm_about.h"

#include <QKeyEvent>
#include <QTextDocument>
#include <QPixmap>
#include <cstring>

#include "platform/codec.h"
#include "platform/fs.h"
#include "platform/process_start.h"
#include "shell/resources.h"
#include "ui/dialogs.h"
#include "ui/font.h"
#include "ui/geometry.h"

namespace gm::shell {

bool GetKeyValue(platform::RegistryRoot root, const std::string& keyName, const std::string& valueName,
                 std::string& value)
{
    const std::optional<platform::RegistryData> data = platform::readRegistryValue(root, keyName, valueName);
    if (!data) {
        value.clear();
        return false;
    }
    std::string bytes = data->bytes.substr(0, 1024);
    if (!bytes.empty() && bytes.back() == '\0') {
        bytes.pop_back();
    }
    if (data->type == platform::kRegString) {
        value = bytes;
    } else if (data->type == platform::kRegDword && data->bytes.size() >= 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) {
            number = (number << 8) | static_cast<unsigned char>(data->bytes[static_cast<std::size_t>(i)]);
        }
        value = std::to_string(number);
    }
    return true;
}

namespace {

// Registry strings are ANSI bytes; paths are built from UTF-8 text.
std::string fromRegistryText(const std::string& ansi)
{
    return platform::fromAnsi(ansi).toStdString();
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int left, int top, int width, int height)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(ui::namedFont(QStringLiteral("Verdana"), 8));
    ui::placeTwips(label, left, top, width, height);
    return label;
}

}  // namespace

frmAbout::frmAbout(ui::AppContext& context) : ui::Form(context)
{
    initShellResources();
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Gridmark Editor"));
    setDialogFixedSize(6135, 4920);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    ui::placeTwips(Picture1, 480, 240, 735, 735);
    Picture1->setPixmap(QPixmap(QStringLiteral(":/shell/icon.png")));
    Picture1->setAlignment(Qt::AlignCenter);

    lblTitle = makeLabel(this, "lblTitle", QStringLiteral("Gridmark Editor"), 1680, 120, 4005, 960);
    lblTitle->setFont(ui::namedFont(QStringLiteral("Verdana"), 18, true));
    lblVersion = makeLabel(this, "lblVersion", QStringLiteral("Version 1.1"), 2400, 1080, 1245, 225);
    lblDescription = makeLabel(this, "lblDescription", QStringLiteral("Developer :"), 120, 1560, 1365, 330);
    Label6 = makeLabel(this, "Label6", QStringLiteral("Tarvel"), 1680, 1560, 2565, 330);
    Label1 = makeLabel(this, "Label1", QStringLiteral("Date :"), 120, 1920, 885, 330);
    Label5 = makeLabel(this, "Label5", QStringLiteral("March 2003"), 1680, 1920, 2565, 330);
    Label2 = makeLabel(this, "Label2", QStringLiteral("Contact Info :"), 120, 2280, 1605, 330);

    Text2 = new QPlainTextEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setPlainText(QStringLiteral("tarvel@gridmark-editor.example\nQuestions, comments, fault reports welcome."));
    Text2->setReadOnly(true);
    Text2->setFont(ui::namedFont(QStringLiteral("Verdana"), 8));
    Text2->setBackgroundRole(QPalette::Button);
    Text2->viewport()->setBackgroundRole(QPalette::Button);
    Text2->setFrameShape(QFrame::NoFrame);
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text2->document()->setDocumentMargin(1);
    ui::placeTwips(Text2, 1680, 2280, 4335, 495);

    Label8 = makeLabel(this, "Label8", QStringLiteral("Web site :"), 120, 2880, 1605, 330);
    Text1 = new QLineEdit(QStringLiteral("https://gridmark-editor.example/"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setFrame(false);
    Text1->setFont(ui::namedFont(QStringLiteral("Verdana"), 8));
    Text1->setBackgroundRole(QPalette::Button);
    Text1->setStyleSheet(QStringLiteral("QLineEdit { background: palette(button); }"));
    ui::placeTwips(Text1, 1680, 2880, 4455, 375);

    Label3 = makeLabel(this, "Label3", QStringLiteral("An independent editor for Gridmark's data files."),
                       480, 3360, 5205, 330);

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setLineWidth(2);
    ui::placeTwips(Line1, 120, 3705, 5880, 30);

    lblDisclaimer = makeLabel(this, "lblDisclaimer",
                              QStringLiteral("Warning: this program is protected by copyright. Unauthorised copying or "
                                             "distribution of it, or of any part of it, is not allowed."),
                              120, 3840, 4455, 945);
    lblDisclaimer->setWordWrap(true);

    cmdOK = new ui::CommandButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    ui::placeTwips(cmdOK, 4680, 3840, 1260, 465);
    cmdOK->setDefault(true);

    cmdSysInfo = new ui::CommandButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    ui::placeTwips(cmdSysInfo, 4680, 4440, 1245, 345);
    cmdSysInfo->setAutoDefault(false);

    QWidget::setTabOrder(cmdOK, cmdSysInfo);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

void frmAbout::Form_Load()
{
    showCentred();
    cmdOK->setFocus();
}

void frmAbout::keyPressEvent(QKeyEvent* event)
{
    // OK is the default button (Enter) and the cancel button (Escape). A
    // focused button, System Info too, takes Enter itself: Enter that
    // reaches the window comes from elsewhere and presses OK.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        cmdOK->click();
        return;
    default:
        ui::Form::keyPressEvent(event);
    }
}

void frmAbout::cmdOK_Click()
{
    unload();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    std::string toolPath;
    bool found = false;
    try {
        std::string value;
        if (GetKeyValue(platform::RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                        value)) {
            toolPath = fromRegistryText(value);
            found = true;
        } else if (GetKeyValue(platform::RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location",
                               "MSINFO", value)) {
            const std::filesystem::path candidate = platform::joinGamePath(fromRegistryText(value), "\\MSINFO32.EXE");
            if (platform::fileExists(candidate)) {
                toolPath = platform::fromPath(candidate);
                found = true;
            }
        }
        if (found && platform::startProgram(platform::toPath(toolPath))) {
            return;
        }
    } catch (...) {
        // falls through to the message
    }
    context().dialogs->message(this, QStringLiteral("System Information Is Unavailable At This Time"),
                               ui::Buttons::Ok, ui::Icon::None);
}

void frmAbout::Form_Unload()
{
    if (context().setMenuEnabled) {
        context().setMenuEnabled(true);
    }
}

}  // namespace gm::shell
