#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "platform/logon.h"
#include "platform/seam.h"
#include "platform/text.h"
#include "platform/wipe.h"
#include "service/monitor.h"
#include "standins/hmi_substitute.h"
#include "worker_fixture.h"

namespace servicetest {
namespace {

// The password and its forms in memory, all in read-only data, so none of them is found in the
// writable memory that the scan reads. The scrambled text is vexa-scramble's of the password.
const char kCanary[] = "Kanarienvogel-7319-ZQX-canary!";
const wchar_t kWideCanary[] = L"Kanarienvogel-7319-ZQX-canary!";
const char16_t kUtf16Canary[] = u"Kanarienvogel-7319-ZQX-canary!";
const char kPlainXml[] =
    "<SysMgmt><Users><TarselAdmin><Password>Kanarienvogel-7319-ZQX-canary!</Password>"
    "</TarselAdmin></Users></SysMgmt>\r\n";
const char kScrambledXml[] =
    "<SysMgmt><Users><TarselAdmin><PasswordEncr>178A161A232A174A201A225A171A17B193A225A145A199A194"
    "B9B11C94A17B167A127A152A118A157A152A187A163A148A16B198A193B852</PasswordEncr></TarselAdmin>"
    "</Users></SysMgmt>\r\n";

// The scan looks for the password's last characters: the allocator writes its own data over
// the first 16 bytes of memory it takes back, but leaves the rest as it was.
constexpr std::size_t kTailFrom = 16;
constexpr std::size_t kTailChars = sizeof kCanary - 1 - kTailFrom;

// A logon that every password opens and that keeps nothing of it, as LogonUserW keeps nothing in
// the caller's process.
class AcceptingLogon : public platform::Logon {
public:
    bool LogOn(const std::wstring&, const wchar_t* password, Token& token) override
    {
        m_bSawCanary = std::wcscmp(password, kWideCanary) == 0;
        token = 0x700;
        return true;
    }
    bool Impersonate(Token) override { return true; }
    bool RevertToSelf() override { return true; }
    void CloseToken(Token) override {}
    bool m_bSawCanary = false;
};

// How often the bytes of `p_pNeedle` occur in the process's writable memory (its heap, stacks,
// data), read through /proc/self/mem; the scan's own buffer is passed over.
std::size_t CountInWritableMemory(const void* p_pNeedle, std::size_t p_nBytes)
{
    constexpr std::size_t kChunk = 1 << 20;
    // A sanitizer's shadow memory is terabytes of zeros that nothing of the program lives in.
    constexpr unsigned long kLargestRegion = 1ul << 32;
    void* l_pBuffer =
        ::mmap(nullptr, kChunk, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    EXPECT_NE(l_pBuffer, MAP_FAILED);
    auto* l_pBytes = static_cast<char*>(l_pBuffer);
    const auto l_nOwn = reinterpret_cast<std::uintptr_t>(l_pBuffer);
    const int l_nMemory = ::open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
    EXPECT_GE(l_nMemory, 0);
    std::FILE* l_pMaps = std::fopen("/proc/self/maps", "r");
    EXPECT_NE(l_pMaps, nullptr);
    std::size_t l_nFound = 0;
    char l_szLine[512];
    while (l_pMaps != nullptr && std::fgets(l_szLine, sizeof l_szLine, l_pMaps) != nullptr) {
        unsigned long l_nStart = 0;
        unsigned long l_nEnd = 0;
        char l_szPermissions[5] = {};
        if (std::sscanf(l_szLine, "%lx-%lx %4s", &l_nStart, &l_nEnd, l_szPermissions) != 3 ||
            l_szPermissions[0] != 'r' || l_szPermissions[1] != 'w' || l_nStart == l_nOwn ||
            l_nEnd - l_nStart > kLargestRegion) {
            continue;
        }
        // Chunks overlap by the needle's length, so no occurrence falls between two.
        for (unsigned long l_nAt = l_nStart; l_nAt < l_nEnd; l_nAt += kChunk - p_nBytes) {
            const std::size_t l_nWant = std::min<unsigned long>(kChunk, l_nEnd - l_nAt);
            const ssize_t l_nGot = ::pread(l_nMemory, l_pBytes, l_nWant, static_cast<off_t>(l_nAt));
            if (l_nGot < static_cast<ssize_t>(p_nBytes)) {
                break;
            }
            // A start from kChunk - p_nBytes on lies in the next chunk too and counts there.
            const bool l_bLast = l_nAt + l_nWant >= l_nEnd;
            const auto l_nStarts = static_cast<std::size_t>(l_nGot) - p_nBytes + 1;
            const std::size_t l_nCounted =
                l_bLast ? l_nStarts : std::min(l_nStarts, kChunk - p_nBytes);
            for (std::size_t i = 0; i < l_nCounted; ++i) {
                if (std::memcmp(l_pBytes + i, p_pNeedle, p_nBytes) == 0) {
                    ++l_nFound;
                }
            }
            if (l_bLast) {
                break;
            }
        }
    }
    if (l_pMaps != nullptr) {
        std::fclose(l_pMaps);
    }
    ::close(l_nMemory);
    ::munmap(l_pBuffer, kChunk);
    return l_nFound;
}

// The administrator's password, plain or scrambled in Computer.xml, is used to log on when the
// monitor starts; afterwards no copy of it is left in the process's writable memory: not the
// file's text, not the parsed document, not the decoder's work, not the password itself.
TEST(CredentialMemory, NoCopyOfThePasswordOutlivesTheLogon)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    // A sanitizer's runtime keeps memory that the program freed as it was and copies what its
    // checks compare into frames of its own: the scan would find those, not the program's copies.
    GTEST_SKIP() << "the scan is meaningful without a sanitizer only";
#endif
    const struct {
        const char* label;
        const char* xml;
    } cases[] = {{"plain", kPlainXml}, {"scrambled", kScrambledXml}};
    {
        // The scan finds a copy that is there.
        std::vector<char> l_Copy(kCanary, kCanary + sizeof kCanary);
        EXPECT_EQ(CountInWritableMemory(kCanary + kTailFrom, kTailChars), 1u);
        platform::WipeMemory(l_Copy.data(), l_Copy.size());
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        WorkerEnvironment l_Environment;
        platform::SubstituteHmiRuntime l_Hmi;
        const platform::Substitute<platform::HmiRuntime> l_HmiInPlace(l_Hmi);
        AcceptingLogon l_Logon;
        const platform::Substitute<platform::Logon> l_LogonInPlace(l_Logon);
        const testing_support::TempFolder l_Folder;
        l_Environment.Set(L"MAINDIR", l_Folder.Path());
        // Written straight from read-only data: a string of the test would leave a copy.
        const int l_nFile = ::open(platform::WideToAnsi(l_Folder.Path(L"Computer.xml")).c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ASSERT_GE(l_nFile, 0);
        ASSERT_EQ(::write(l_nFile, c.xml, std::strlen(c.xml)),
                  static_cast<ssize_t>(std::strlen(c.xml)));
        ::close(l_nFile);

        {
            const auto l_pMonitor = service::AssembleMonitor();
            EXPECT_TRUE(l_Logon.m_bSawCanary);
            EXPECT_EQ(CountInWritableMemory(kCanary + kTailFrom, kTailChars), 0u);
            EXPECT_EQ(CountInWritableMemory(kWideCanary + kTailFrom, kTailChars * sizeof(wchar_t)),
                      0u);
            EXPECT_EQ(
                CountInWritableMemory(kUtf16Canary + kTailFrom, kTailChars * sizeof(char16_t)), 0u);
        }
    }
}

}  // namespace
}  // namespace servicetest
