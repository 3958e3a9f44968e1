#include "platform/shared_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "common/scoped_directory.h"

namespace platform {
namespace {

// The same expectations hold for Windows' named mappings (under Wine) and the posix substitute.
class SharedMemoryTest : public testing::Test {
protected:
    SharedMemory& m_memory = SharedMemory::System();
    vexa_test::ScopedWorkingDirectory m_folder;
};

TEST_F(SharedMemoryTest, NewMappingGrowsItsFileWithZeros)
{
    const Handle file = m_memory.OpenFile(L"Block_A");
    ASSERT_TRUE(IsUsableHandle(file));
    const Handle mapping = m_memory.CreateMapping(file, L"Block_A", 402);
    ASSERT_TRUE(IsUsableHandle(mapping));
    void* view = m_memory.MapView(mapping, 402, false);
    ASSERT_NE(view, nullptr);
    const unsigned char zeros[402] = {};
    EXPECT_EQ(std::memcmp(view, zeros, sizeof zeros), 0);
    m_memory.UnmapView(view);
    EXPECT_TRUE(m_memory.Close(mapping));
    EXPECT_TRUE(m_memory.Close(file));
    EXPECT_EQ(std::filesystem::file_size("Block_A"), 402u);
}

TEST_F(SharedMemoryTest, SecondOpenOfANameSeesTheSameBytes)
{
    const Handle first = m_memory.CreateMapping(kInvalidHandle, L"Block_B", 64);
    ASSERT_TRUE(IsUsableHandle(first));
    auto* writer = static_cast<unsigned char*>(m_memory.MapView(first, 64, true));
    ASSERT_NE(writer, nullptr);
    writer[10] = 0xAB;

    // An existing mapping is returned as it is: the size asked for does not matter.
    const Handle second = m_memory.CreateMapping(kInvalidHandle, L"Block_B", 32);
    ASSERT_TRUE(IsUsableHandle(second));
    auto* reader = static_cast<const unsigned char*>(m_memory.MapView(second, 64, false));
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader[10], 0xAB);

    m_memory.UnmapView(const_cast<unsigned char*>(reader));
    m_memory.UnmapView(writer);
    m_memory.Close(second);
    m_memory.Close(first);
}

// A reader opens only a mapping that exists, and reads it: a missing one is not made.
TEST_F(SharedMemoryTest, OpeningForReadingFindsOnlyAnExistingMapping)
{
    EXPECT_EQ(m_memory.OpenMapping(L"Block_E"), kNullHandle);
    EXPECT_FALSE(std::filesystem::exists("Block_E"));

    const Handle writer = m_memory.CreateMapping(kInvalidHandle, L"Block_E", 32);
    ASSERT_TRUE(IsUsableHandle(writer));
    auto* bytes = static_cast<unsigned char*>(m_memory.MapView(writer, 32, true));
    ASSERT_NE(bytes, nullptr);
    bytes[5] = 0x5A;
    const Handle reader = m_memory.OpenMapping(L"Block_E");
    ASSERT_TRUE(IsUsableHandle(reader));
    EXPECT_EQ(m_memory.MapView(reader, 32, true), nullptr);
    auto* seen = static_cast<unsigned char*>(m_memory.MapView(reader, 32, false));
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen[5], 0x5A);
    m_memory.UnmapView(seen);
    m_memory.UnmapView(bytes);
    m_memory.Close(reader);
    m_memory.Close(writer);
}

// An unnamed mapping is zero-filled memory of this process alone.
TEST_F(SharedMemoryTest, AnUnnamedMappingIsZerosWithoutAFile)
{
    const Handle mapping = m_memory.CreateMapping(kInvalidHandle, L"", 402);
    ASSERT_TRUE(IsUsableHandle(mapping));
    void* view = m_memory.MapView(mapping, 402, false);
    ASSERT_NE(view, nullptr);
    const unsigned char zeros[402] = {};
    EXPECT_EQ(std::memcmp(view, zeros, sizeof zeros), 0);
    m_memory.UnmapView(view);
    m_memory.Close(mapping);
    EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::current_path()));
}

TEST_F(SharedMemoryTest, ViewBeyondTheMappingFails)
{
    const Handle mapping = m_memory.CreateMapping(kInvalidHandle, L"Block_C", 16);
    ASSERT_TRUE(IsUsableHandle(mapping));
    EXPECT_EQ(m_memory.MapView(mapping, 1 << 20, false), nullptr);
    m_memory.Close(mapping);
}

TEST_F(SharedMemoryTest, FileInAMissingFolderCannotBeOpened)
{
    EXPECT_EQ(m_memory.OpenFile(L"missing-folder/Block_D"), kInvalidHandle);
}

}  // namespace
}  // namespace platform
