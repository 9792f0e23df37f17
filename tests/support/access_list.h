// Windows access lists for one scope: a folder that a user may not write in
// or list, as Program Files or another user's folder is. (Wine keeps access
// lists but does not enforce them.)
#pragma once

#ifdef _WIN32
#include <windows.h>
// After windows.h:
#include <aclapi.h>
#include <sddl.h>

#include <filesystem>
#include <string>

namespace gm::test {

// Gives an entry the access list `sddl` (say "D:P(A;OICI;GRGX;;;WD)":
// everybody may read, nobody may add), and when it goes one that lets
// everybody do everything, so that the test's folder can be removed.
class ScopedAccessList {
public:
    ScopedAccessList(const std::filesystem::path& path, const wchar_t* sddl)
        : path_(path), applied_(apply(path_, sddl))
    {
    }
    ~ScopedAccessList() { apply(path_, L"D:P(A;OICI;GA;;;WD)"); }
    ScopedAccessList(const ScopedAccessList&) = delete;
    ScopedAccessList& operator=(const ScopedAccessList&) = delete;
    bool applied() const { return applied_; }

private:
    static bool apply(const std::filesystem::path& path, const wchar_t* sddl)
    {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr)) {
            return false;
        }
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL dacl = nullptr;
        GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
        std::wstring name = path.wstring();
        const DWORD result = SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT,
                                                   DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                                   nullptr, nullptr, dacl, nullptr);
        LocalFree(descriptor);
        return result == ERROR_SUCCESS;
    }

    std::filesystem::path path_;
    bool applied_;
};

}  // namespace gm::test
#endif
