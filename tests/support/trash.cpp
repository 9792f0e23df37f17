#include "support/trash.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <cstdlib>
#include <optional>
#include <system_error>

#include "platform/fs.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h:
#include <shlobj.h>
#include <shlwapi.h>

#include "support/wine.h"
#endif

namespace gm::test {

namespace fs = std::filesystem;

namespace {

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

#ifndef _WIN32

fs::path trashFiles()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    return data == nullptr ? fs::path() : fs::path(data) / "Trash" / "files";
}

std::vector<std::string> trashedContents(const std::string& prefix)
{
    std::vector<std::string> contents;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(trashFiles(), ec)) {
        if (entry.is_regular_file() && startsWith(entry.path().filename().string(), prefix)) {
            contents.push_back(readBytes(entry.path()));
        }
    }
    return contents;
}

bool restoreFromTrash(const fs::path& original)
{
    // The newest record whose Path is the file's, as a file manager's
    // Restore finds it; its file goes back and the record goes.
    const fs::path info = trashFiles().parent_path() / "info";
    const std::string wanted = fs::absolute(original).lexically_normal().string();
    std::optional<fs::path> newest;
    std::string newestDate;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(info, ec)) {
        std::string path;
        std::string date;
        const std::string record = readBytes(entry.path());
        for (std::size_t start = 0; start < record.size();) {
            std::size_t end = record.find('\n', start);
            end = end == std::string::npos ? record.size() : end;
            const std::string line = record.substr(start, end - start);
            if (startsWith(line, "Path=")) {
                path = QUrl::fromPercentEncoding(QByteArray::fromStdString(line.substr(5))).toStdString();
            } else if (startsWith(line, "DeletionDate=")) {
                date = line.substr(13);
            }
            start = end + 1;
        }
        if (path == wanted && (!newest || date >= newestDate)) {
            newest = entry.path();
            newestDate = date;
        }
    }
    if (!newest || fs::exists(original, ec)) {
        return false;
    }
    const std::string name = newest->filename().string();
    fs::rename(trashFiles() / name.substr(0, name.size() - std::string(".trashinfo").size()), original, ec);
    if (ec) {
        return false;
    }
    fs::remove(*newest, ec);
    return true;
}

#else

namespace {

// COM for the calling thread while alive.
class ComScope {
public:
    ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope()
    {
        if (initialised_) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialised_;
};

std::wstring lower(std::wstring text)
{
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// Where an item lives on disk and where it came from.
struct Stored {
    fs::path original;
    fs::path file;    // its content
    fs::path record;  // what the bin knows of it
};

// Windows keeps an item as $R... with its record $I... beside it; the record
// holds the original path (a fixed 260-character field in its first
// version, a counted one in the second).
std::optional<Stored> windowsStored(const fs::path& file)
{
    const std::wstring name = file.filename().wstring();
    if (name.size() < 2 || name[0] != L'$' || name[1] != L'R') {
        return std::nullopt;
    }
    const fs::path record = file.parent_path() / (L"$I" + name.substr(2));
    const std::optional<std::string> bytes = platform::readFile(record);
    if (!bytes || bytes->size() < 24) {
        return std::nullopt;
    }
    const std::size_t start = (*bytes)[0] == 2 ? 28 : 24;
    if (bytes->size() < start) {
        return std::nullopt;
    }
    std::wstring original((bytes->size() - start) / 2, L'\0');
    std::memcpy(original.data(), bytes->data() + start, original.size() * 2);
    original.resize(std::wcslen(original.c_str()));
    return Stored{fs::path(original), file, record};
}

// Wine keeps the bin in the freedesktop trash of the Linux home folder: a
// file in files/ with its .trashinfo record in info/ naming the original
// Linux path.
std::vector<Stored> wineStored()
{
    std::vector<Stored> stored;
    wchar_t home[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"WINEHOMEDIR", home, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return stored;
    }
    std::wstring homeText = home;
    if (homeText.starts_with(L"\\??\\")) {
        homeText = homeText.substr(4);
    }
    using ToDos = WCHAR* (*)(const char*);
    const auto toDos = reinterpret_cast<ToDos>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (toDos == nullptr) {
        return stored;
    }
    const fs::path trash = fs::path(homeText) / ".local" / "share" / "Trash";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(trash / "info", ec)) {
        const std::string record = readBytes(entry.path());
        const std::size_t at = record.find("\nPath=");
        if (at == std::string::npos) {
            continue;
        }
        const std::size_t end = record.find('\n', at + 1);
        const std::string unixPath = QUrl::fromPercentEncoding(
            QByteArray::fromStdString(record.substr(at + 6, end == std::string::npos ? end : end - at - 6)))
                                         .toStdString();
        WCHAR* dos = toDos(unixPath.c_str());
        if (dos == nullptr) {
            continue;
        }
        const fs::path original(dos);
        HeapFree(GetProcessHeap(), 0, dos);
        const std::wstring name = entry.path().filename().wstring();
        stored.push_back({original, trash / "files" / name.substr(0, name.size() - 10), entry.path()});
    }
    return stored;
}

// An item of the Recycle Bin as its shell folder shows it.
struct BinItem {
    PITEMID_CHILD id = nullptr;
    Stored stored;
};

// The Recycle Bin's shell folder and those of its items that came from this
// test run's temporary folders.
class RecycleBin {
public:
    RecycleBin()
    {
        IShellFolder* desktop = nullptr;
        if (FAILED(SHGetDesktopFolder(&desktop))) {
            return;
        }
        PIDLIST_ABSOLUTE bin = nullptr;
        if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_BITBUCKET, &bin))) {
            desktop->BindToObject(bin, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder_));
            CoTaskMemFree(bin);
        }
        desktop->Release();
        if (folder_ == nullptr) {
            return;
        }
        const bool wine = runningUnderWine();
        std::vector<Stored> onWine = wine ? wineStored() : std::vector<Stored>{};
        IEnumIDList* items = nullptr;
        const SHCONTF what = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;
        if (folder_->EnumObjects(nullptr, what, &items) != S_OK) {
            return;
        }
        const std::wstring ours = lower(testFolderPrefix().wstring());
        PITEMID_CHILD id = nullptr;
        while (items->Next(1, &id, nullptr) == S_OK) {
            std::optional<Stored> stored;
            if (wine) {
                // The shell shows the name and the original folder; the first
                // record of that path not taken yet is this item's.
                const fs::path original = fs::path(detail(id, 1)) / detail(id, 0);
                const auto match = std::find_if(onWine.begin(), onWine.end(), [&](const Stored& s) {
                    return lower(s.original.wstring()) == lower(original.wstring());
                });
                if (match != onWine.end()) {
                    stored = *match;
                    onWine.erase(match);
                }
            } else {
                stored = windowsStored(fs::path(displayName(id, SHGDN_FORPARSING)));
            }
            if (stored && lower(stored->original.wstring()).starts_with(ours)) {
                items_.push_back({id, *stored});
            } else {
                CoTaskMemFree(id);
            }
        }
        items->Release();
    }
    ~RecycleBin()
    {
        for (const BinItem& item : items_) {
            CoTaskMemFree(item.id);
        }
        if (folder_ != nullptr) {
            folder_->Release();
        }
    }
    RecycleBin(const RecycleBin&) = delete;
    RecycleBin& operator=(const RecycleBin&) = delete;

    const std::vector<BinItem>& items() const { return items_; }

    // Restore, as the bin's context menu offers it: the "undelete" verb on
    // Windows; Wine's menu has the command without the verb.
    bool restore(const BinItem& item) const
    {
        IContextMenu* menu = nullptr;
        PCUITEMID_CHILD ids[] = {item.id};
        if (FAILED(folder_->GetUIObjectOf(nullptr, 1, ids, IID_IContextMenu, nullptr,
                                          reinterpret_cast<void**>(&menu)))) {
            return false;
        }
        // Commands numbered from 1, so that none is 0 (a null verb).
        HMENU popup = CreatePopupMenu();
        menu->QueryContextMenu(popup, 0, 1, 0x7FFF, CMF_NORMAL);
        CMINVOKECOMMANDINFO invoke{};
        invoke.cbSize = sizeof invoke;
        invoke.fMask = CMIC_MASK_FLAG_NO_UI;
        invoke.nShow = SW_HIDE;
        for (int i = 0; i < GetMenuItemCount(popup) && invoke.lpVerb == nullptr; ++i) {
            const UINT id = GetMenuItemID(popup, i);
            if (id == 0 || id == static_cast<UINT>(-1)) {
                continue;  // a separator or a sub-menu
            }
            char verb[64] = "";
            wchar_t text[64] = L"";
            GetMenuStringW(popup, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            if (SUCCEEDED(menu->GetCommandString(id - 1, GCS_VERBA, nullptr, verb, sizeof verb)) &&
                std::string(verb) == "undelete") {
                invoke.lpVerb = "undelete";
            } else if (std::wstring(text) == L"&Restore") {
                invoke.lpVerb = MAKEINTRESOURCEA(id - 1);
            }
        }
        const bool done = invoke.lpVerb != nullptr && SUCCEEDED(menu->InvokeCommand(&invoke));
        DestroyMenu(popup);
        menu->Release();
        return done && platform::fileExists(item.stored.original);
    }

private:
    std::wstring displayName(PCUITEMID_CHILD id, SHGDNF flags) const
    {
        STRRET name;
        wchar_t buffer[MAX_PATH * 4] = L"";
        if (SUCCEEDED(folder_->GetDisplayNameOf(id, flags, &name))) {
            StrRetToBufW(&name, id, buffer, MAX_PATH * 4);
        }
        return buffer;
    }
    // A column of the bin's details view: 0 the name, 1 the original folder.
    std::wstring detail(PCUITEMID_CHILD id, UINT column) const
    {
        IShellFolder2* details = nullptr;
        std::wstring text;
        if (SUCCEEDED(folder_->QueryInterface(IID_IShellFolder2, reinterpret_cast<void**>(&details)))) {
            SHELLDETAILS shown;
            wchar_t buffer[MAX_PATH * 4] = L"";
            if (SUCCEEDED(details->GetDetailsOf(id, column, &shown))) {
                StrRetToBufW(&shown.str, id, buffer, MAX_PATH * 4);
                text = buffer;
            }
            details->Release();
        }
        return text;
    }

    IShellFolder* folder_ = nullptr;
    std::vector<BinItem> items_;
};

}  // namespace

std::vector<std::string> trashedContents(const std::string& prefix)
{
    const ComScope com;
    const RecycleBin bin;
    std::vector<std::string> contents;
    for (const BinItem& item : bin.items()) {
        if (startsWith(platform::fromPath(item.stored.original.filename()), prefix)) {
            contents.push_back(readBytes(item.stored.file));
        }
    }
    return contents;
}

bool restoreFromTrash(const fs::path& original)
{
    const ComScope com;
    const RecycleBin bin;
    const std::wstring wanted = lower(fs::absolute(original).lexically_normal().make_preferred().wstring());
    for (const BinItem& item : bin.items()) {
        if (lower(item.stored.original.wstring()) == wanted) {
            return bin.restore(item);
        }
    }
    return false;
}

void eraseTestItemsFromTrash()
{
    const ComScope com;
    const RecycleBin bin;
    for (const BinItem& item : bin.items()) {
        DeleteFileW(item.stored.file.c_str());
        DeleteFileW(item.stored.record.c_str());
    }
}

#endif

}  // namespace gm::test
