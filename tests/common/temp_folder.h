#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it at the end
// of the scope. Paths come in the form the platform's file functions take: "C:\...\x.ini"
// under Windows, "/tmp/.../x.ini" on posix.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::wstring Path() const;
    std::wstring Path(const std::wstring& name) const;

    void Write(const std::wstring& name, const std::string& bytes) const;
    // The file's bytes; "<missing>" when it does not exist.
    std::string Read(const std::wstring& name) const;

private:
    std::filesystem::path m_path;
};

// Sets (or with nothing, removes) a process environment variable for the scope and restores
// its former state afterwards.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const std::wstring& name, const std::wstring* value);
    ScopedEnvironmentVariable(const std::wstring& name, const std::wstring& value)
        : ScopedEnvironmentVariable(name, &value)
    {
    }
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::wstring m_strName;
    bool m_bHadValue = false;
    std::wstring m_strOldValue;
};

}  // namespace testing_support
