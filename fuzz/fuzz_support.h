#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

// Helpers shared by the fuzz targets.
namespace fuzz {

// Stops the run with a message when a property of the code under test does not hold; libFuzzer
// then saves the input as a crash.
inline void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "property violated: %s\n", what);
        std::abort();
    }
}

// A file in a private folder of the process, for the parsers that read files by name. Shared
// memory is preferred as it keeps the runs off the disk.
class ScratchFile {
public:
    explicit ScratchFile(const std::string& name)
    {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/vexa-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        m_strFolder = pattern;
        m_strPath = m_strFolder + "/" + name;
    }
    ~ScratchFile()
    {
        std::remove(m_strPath.c_str());
        rmdir(m_strFolder.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    void Write(const std::string& bytes) const
    {
        std::ofstream file(m_strPath, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string Read() const
    {
        std::ifstream file(m_strPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strFolder;
    std::string m_strPath;
};

// Takes the text up to the first NUL off the front of `input` (all of it when there is none).
// Inputs of several parts are written "part\0part\0rest", which keeps the seed files readable.
inline std::string NextField(std::string& input)
{
    const std::size_t end = input.find('\0');
    std::string field = input.substr(0, end);
    input.erase(0, end == std::string::npos ? input.size() : end + 1);
    return field;
}

}  // namespace fuzz
