#include "platform/shared_memory.h"

#include <windows.h>

namespace platform {

namespace {

static_assert(sizeof(HANDLE) == sizeof(Handle), "a Handle carries the bits of a HANDLE");

HANDLE ToNative(Handle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}
Handle FromNative(HANDLE handle)
{
    return reinterpret_cast<Handle>(handle);
}

class Win32SharedMemory final : public SharedMemory {
public:
    Handle OpenFile(const std::wstring& path) override
    {
        return FromNative(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    Handle CreateMapping(Handle file, const std::wstring& name, std::uint32_t size) override
    {
        return FromNative(CreateFileMappingW(ToNative(file), nullptr, PAGE_READWRITE, 0, size,
                                             name.empty() ? nullptr : name.c_str()));
    }

    Handle OpenMapping(const std::wstring& name) override
    {
        return FromNative(OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str()));
    }

    void* MapView(Handle mapping, std::size_t size, bool writable) override
    {
        return MapViewOfFile(ToNative(mapping), writable ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0,
                             size);
    }

    void UnmapView(void* view) override { UnmapViewOfFile(view); }

    bool Close(Handle handle) override { return CloseHandle(ToNative(handle)) != FALSE; }
};

}  // namespace

SharedMemory& SharedMemory::System()
{
    static Win32SharedMemory instance;
    return instance;
}

}  // namespace platform
