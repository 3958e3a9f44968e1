#pragma once

#include "platform/ata_pass_through.h"
#include "platform/disk_device.h"
#include "platform/smart_ioctl.h"
#include "platform/storage_query.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace fakes {

// A scripted set of physical drives and the system volume: each drive answers the S.M.A.R.T.
// control codes, the ATA pass-through, the storage property and predict-failure queries as told,
// and every control call is recorded with its buffer sizes and decoded registers.
class FakeDiskDevice : public platform::DiskDevice {
public:
    struct Drive {
        int nVersionResult = 1;
        std::uint32_t nCapabilities = platform::smart::kCapSmartCommands;
        int nEnableResult = 1;
        int nAutoOfflineResult = 1;
        int nReadResult = 1;
        std::array<std::uint8_t, platform::smart::kAttributeBlockSize> Block{};

        // The device descriptor's bus type; 0 fails the query, as a driver without it does. An
        // NVMe drive fails every S.M.A.R.T. control code.
        std::uint32_t nBusType = 0;
        // The health page query: its result, and the answer's bytes as the inbox driver lays
        // them out around Page, unless HealthAnswer scripts other bytes. nHealthBytes, when set,
        // is the byte count reported instead of the answer's length.
        int nHealthResult = 1;
        std::array<std::uint8_t, platform::storage::kHealthPageSize> Page{};
        std::vector<std::uint8_t> HealthAnswer;
        std::optional<std::uint32_t> nHealthBytes;

        // RETURN SMART STATUS: its result, and whether the drive reports a threshold exceeded
        // (also the predict-failure query's flag).
        int nStatusResult = 1;
        bool bFailing = false;
        // READ THRESHOLDS answers with this block; without one it fails.
        std::optional<std::array<std::uint8_t, platform::smart::kAttributeBlockSize>> Thresholds;
        // The Device Statistics log, page k at byte 512·k; READ LOG fails for a page beyond it,
        // SMART READ LOG for a count of pages beyond it.
        std::vector<std::uint8_t> DeviceStatistics;
        // The ATA pass-through is refused (error 50) when false; SMART READ LOG still answers.
        bool bPassThrough = true;
        // The pass-through answers, but the drive aborts READ LOG EXT (ERR in the returned
        // status), as a drive without the 48-bit feature set does.
        bool bReadLogExtAborted = false;
        // IOCTL_STORAGE_PREDICT_FAILURE: its result; the data is Block.
        int nPredictResult = 1;
        // Every S.M.A.R.T. command's status block (DRIVERSTATUS) reports this driver error.
        std::uint8_t nDriverError = 0;
        // The device descriptor's texts.
        std::string Model;
        std::string Serial;
    };

    struct ControlCall {
        int nDrive = -1;  // -1 for a handle that is no open drive
        std::uint32_t nCode = 0;
        std::uint32_t nInputSize = 0;
        std::uint32_t nOutputSize = 0;
        std::vector<std::uint8_t> Input;   // the whole input buffer as sent
        platform::smart::Command Command;  // decoded when the input holds a SENDCMDINPARAMS
        bool bOutputZeroed = false;        // the output buffer held only zeros when called
    };

    // The drive the volume "\\.\X:" lies on; without one the volume cannot be opened.
    std::optional<std::uint32_t> m_SystemDrive;
    // The disks of the volume's extents, in order; empty: one extent on m_SystemDrive. A buffer
    // too small for all of them fails the query with ERROR_MORE_DATA.
    std::vector<std::uint32_t> m_Extents;
    // The account has no administrator rights: Open fails with error 5; OpenForQuery works.
    bool m_bNoRights = false;

    // Adds or returns drive n; drives not added are missing.
    Drive& AddDrive(int n);
    void RemoveDrive(int n);

    Handle Open(const std::wstring& path) override;
    // A drive's handle for queries answers the property and predict-failure queries and fails
    // every other code with error 5.
    Handle OpenForQuery(const std::wstring& path) override;
    int Control(Handle handle, std::uint32_t code, const void* input, std::uint32_t inputSize,
                void* output, std::uint32_t outputSize, std::uint32_t& bytesReturned) override;
    void Close(Handle handle) override;

    std::vector<std::wstring> m_Opened;
    std::vector<std::wstring> m_OpenedForQuery;
    std::vector<ControlCall> m_Calls;
    int m_nCloses = 0;
    std::set<Handle> m_OpenHandles;

    // The recorded calls of one code, optionally with one feature register value.
    std::vector<ControlCall> CallsOf(std::uint32_t code, int features = -1) const;

private:
    int AnswerVolume(std::uint8_t* output, std::uint32_t outputSize, std::uint32_t& bytesReturned);
    int AnswerSmart(const Drive& drive, const ControlCall& call, std::uint8_t* output,
                    std::uint32_t outputSize, std::uint32_t& bytesReturned);
    int AnswerPassThrough(const Drive& drive, const std::uint8_t* input, std::uint32_t inputSize,
                          std::uint8_t* output, std::uint32_t outputSize,
                          std::uint32_t& bytesReturned);
    int AnswerQuery(const Drive& drive, const std::uint8_t* input, std::uint32_t inputSize,
                    std::uint8_t* output, std::uint32_t outputSize, std::uint32_t& bytesReturned);

    std::map<int, Drive> m_Drives;
};

// Writes one 12-byte attribute entry into a 512-byte block: entry `slot` (0..29) at 2 + 12 * slot.
void PutAttribute(std::array<std::uint8_t, platform::smart::kAttributeBlockSize>& block, int slot,
                  std::uint8_t id, std::uint16_t flags, std::uint8_t current, std::uint8_t worst,
                  std::uint64_t raw48, std::uint8_t reserved = 0);

}  // namespace fakes
