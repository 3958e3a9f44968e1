#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// The running HMI runtime as the broadcasts reach it: on Windows the runtime's IVWControl COM
// interface found through its engine manager or the running object table, on posix the host's
// in-process substitute runtime (standins/hmi_substitute.h).

// A COM result code; negative values are failures. The monitor tests most results for exactly
// kSOk, so success codes other than 0 count as failure there.
using HResult = std::int32_t;

inline constexpr HResult kSOk = 0;
inline constexpr HResult kSFalse = 1;
inline constexpr HResult kENoInterface = static_cast<HResult>(0x80004002u);
inline constexpr HResult kEFail = static_cast<HResult>(0x80004005u);
inline constexpr HResult kEInvalidArg = static_cast<HResult>(0x80070057u);
inline constexpr HResult kEUnexpected = static_cast<HResult>(0x8000FFFFu);

// How the runtime notifies a client about a checked-in variable (tagMESSAGE_MODE).
enum class MessageMode : std::int32_t { OnNever = 0, OnCycle = 1, OnChange = 2 };

// The runtime's 16-byte value (tagVISIVARIANT): a type code, 4 bytes of alignment, and an 8-byte
// union at offset 8. The win32 build checks that this layout equals the COM declaration.
struct VisiVariant {
    struct BitSelect {
        std::int32_t bBitVal;
        std::int32_t nBitNo;
    };

    std::uint32_t vt = 0;
    std::uint32_t alignment = 0;
    union {
        std::int32_t bVal;
        BitSelect BS;
        std::int8_t cVal;
        std::uint8_t ucVal;
        std::uint16_t bcdVal;
        std::uint32_t lbcdVal;
        std::int16_t iVal;
        std::uint16_t uiVal;
        std::int32_t lVal;
        std::uint32_t ulVal;
        float ftVal;
        double dftVal;
        std::uint64_t raw = 0;
    };
};

static_assert(sizeof(VisiVariant) == 16, "tagVISIVARIANT is 16 bytes");
static_assert(offsetof(VisiVariant, lVal) == 8, "the value union starts at offset 8");

// The runtime type code under which the monitor writes 32-bit integers.
inline constexpr std::uint32_t kVisiTypeInt32 = 0x173;

// The calls of IVWControl that the monitor makes, with their COM results. Out values the monitor
// does not use are not returned.
class HmiControl {
public:
    virtual ~HmiControl() = default;
    virtual HResult Connect(std::uint32_t clientCookie) = 0;
    virtual HResult Disconnect(std::uint32_t clientCookie) = 0;
    // `varNo` receives the variable number (pnVarNo); the other outputs are discarded.
    virtual HResult CheckInByName(std::uint32_t cookie, const std::wstring& name, MessageMode mode,
                                  std::int32_t handle, std::int32_t& varNo) = 0;
    virtual HResult CheckOut(std::uint32_t cookie, std::int32_t varNo) = 0;
    // Writes with a null text.
    virtual HResult SetValue(std::int32_t varNo, const VisiVariant& value) = 0;
};

// The runtime object as the look-up finds it (its IUnknown).
class HmiObject {
public:
    virtual ~HmiObject() = default;
    // QueryInterface for IVWControl: the result of the query and the interface it gave, if any.
    virtual HResult QueryControl(std::shared_ptr<HmiControl>& control) = 0;
};

class HmiRuntime {
public:
    virtual ~HmiRuntime() = default;
    // Looks up the running VWControl object. Returns whether the look-up reported success;
    // `object` may hold the object even when it did not (the running-object-table fallback).
    virtual bool GetRunningObject(std::shared_ptr<HmiObject>& object) = 0;
    static HmiRuntime& System();
};

}  // namespace platform
