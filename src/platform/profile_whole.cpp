#include <string>

#include "platform/ini_text.h"
#include "platform/last_error.h"
#include "platform/profile.h"
#include "platform/replaced_file.h"
#include "platform/seam.h"
#include "platform/shared_file.h"

namespace platform {
bool WriteProfileWhole(const Profile::Writes& writes, const std::wstring& file)
{
    // A file that does not exist yet is empty. One that exists but cannot be read is left alone:
    // the text of nothing written over it would lose every key the monitor does not own.
    std::string bytes;
    if (ReadWholeFile(file, bytes) == WholeFile::Failed) {
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
