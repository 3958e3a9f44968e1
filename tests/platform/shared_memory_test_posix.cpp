#include "platform/shared_memory.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>

#include "common/scoped_directory.h"

namespace platform {
namespace {

// Another process rewrites the block's file the way a careless writer does: shortened to
// nothing, then the first `length` bytes of `bytes` written again.
void Rewrite(const char* file, const unsigned char* bytes, std::size_t length)
{
    const int fd = ::open(file, O_WRONLY | O_TRUNC);
    ASSERT_GE(fd, 0);
    if (length != 0) {
        EXPECT_EQ(::write(fd, bytes, length), static_cast<ssize_t>(length));
    }
    ::close(fd);
}

class SharedMemoryRewriteTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_mapping = m_memory.CreateMapping(kInvalidHandle, L"Block_R", sizeof m_pattern);
        ASSERT_TRUE(IsUsableHandle(m_mapping));
        for (std::size_t i = 0; i < sizeof m_pattern; ++i) {
            m_pattern[i] = static_cast<unsigned char>(i + 1);
        }
        Rewrite("Block_R", m_pattern, sizeof m_pattern);
    }

    void TearDown() override { m_memory.Close(m_mapping); }

    SharedMemory& m_memory = SharedMemory::System();
    vexa_test::ScopedWorkingDirectory m_folder;
    Handle m_mapping = kNullHandle;
    unsigned char m_pattern[402] = {};
};

TEST_F(SharedMemoryRewriteTest, AReadOnlyViewKeepsWhatTheFileHeldWhenItIsShortenedLater)
{
    const auto* view = static_cast<const unsigned char*>(m_memory.MapView(m_mapping, 0, false));
    ASSERT_NE(view, nullptr);
    Rewrite("Block_R", m_pattern, 0);
    EXPECT_EQ(std::memcmp(view, m_pattern, sizeof m_pattern), 0);
    m_memory.UnmapView(const_cast<unsigned char*>(view));
}

TEST_F(SharedMemoryRewriteTest, AReadOnlyViewOfAShortenedFileReadsZeroPastItsEnd)
{
    Rewrite("Block_R", m_pattern, 10);
    const auto* view =
        static_cast<const unsigned char*>(m_memory.MapView(m_mapping, sizeof m_pattern, false));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(std::memcmp(view, m_pattern, 10), 0);
    const unsigned char zeros[sizeof m_pattern - 10] = {};
    EXPECT_EQ(std::memcmp(view + 10, zeros, sizeof zeros), 0);
    m_memory.UnmapView(const_cast<unsigned char*>(view));
}

}  // namespace
}  // namespace platform
