#include <memory>
#include <string>

#include "platform/ini_text.h"
#include "platform/last_error.h"
#include "platform/profile.h"
#include "platform/replaced_file.h"
#include "platform/seam.h"
#include "platform/shared_file.h"

namespace platform {
namespace {

// The file's bytes; empty for a file that does not exist yet. False when it exists but cannot
// be read: writing the text of nothing over it would lose every key the monitor does not own.
bool ReadWhole(const std::wstring& file, std::string& bytes)
{
    const std::unique_ptr<ReadableFile> reader = Use<SharedFile>().OpenForReading(file);
    if (!reader) {
        const unsigned long error = GetLastErrorCode();
        return error == kErrorFileNotFound || error == kErrorPathNotFound;
    }
    const std::uint64_t size = reader->Size();
    bytes.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t read = reader->ReadAt(done, &bytes[done], bytes.size() - done);
        if (read == 0) {
            break;
        }
        done += read;
    }
    // A file cut shorter meanwhile is taken as far as it was read.
    bytes.resize(done);
    return true;
}

}  // namespace

bool WriteProfileWhole(const Profile::Writes& writes, const std::wstring& file)
{
    std::string bytes;
    if (!ReadWhole(file, bytes)) {
        return false;
    }
    IniText text(bytes);
    for (const Profile::Write& write : writes) {
        if (write.key.empty()) {
            text.SetSection(write.section, write.entries);
        } else {
            text.Set(write.section, write.key, write.value);
        }
    }
    if (text.Bytes() == bytes) {
        SetLastErrorCode(kErrorSuccess);
        return true;
    }
    return Use<ReplacedFile>().Write(file, text.Bytes());
}

}  // namespace platform
