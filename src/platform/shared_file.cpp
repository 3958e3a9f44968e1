#include "platform/shared_file.h"

#include <algorithm>

#include "platform/last_error.h"
#include "platform/seam.h"

namespace platform {

WholeFile ReadWholeFile(const std::wstring& path, std::string& bytes, std::uint64_t limit)
{
    bytes.clear();
    const std::unique_ptr<ReadableFile> reader = Use<SharedFile>().OpenForReading(path);
    if (!reader) {
        const unsigned long error = GetLastErrorCode();
        return error == kErrorFileNotFound || error == kErrorPathNotFound ? WholeFile::Missing
                                                                          : WholeFile::Failed;
    }
    bytes.resize(static_cast<std::size_t>(std::min(reader->Size(), limit)));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t read = reader->ReadAt(done, &bytes[done], bytes.size() - done);
        if (read == 0) {
            break;
        }
        done += read;
    }
    bytes.resize(done);
    return WholeFile::Read;
}

}  // namespace platform
