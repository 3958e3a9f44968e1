#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/wipe.h"

namespace utils {

// An allocator that overwrites memory before it frees it, so that a string that grows leaves no
// copy of its earlier contents in the freed memory.
template <class T>
struct WipingAllocator {
    using value_type = T;
    WipingAllocator() = default;
    template <class U>
    WipingAllocator(const WipingAllocator<U>&) noexcept
    {
    }
    T* allocate(std::size_t p_nCount) { return std::allocator<T>().allocate(p_nCount); }
    void deallocate(T* p_pData, std::size_t p_nCount) noexcept
    {
        platform::WipeMemory(p_pData, p_nCount * sizeof(T));
        std::allocator<T>().deallocate(p_pData, p_nCount);
    }
    template <class U>
    bool operator==(const WipingAllocator<U>&) const noexcept
    {
        return true;
    }
    template <class U>
    bool operator!=(const WipingAllocator<U>&) const noexcept
    {
        return false;
    }
};

// Text that holds a secret (a password, the text of the file it is kept in): its memory is
// overwritten when it grows, when it is freed and when the object ends, also where a short text
// is kept inside the object itself. Never copied implicitly into a std::basic_string.
template <class Char>
class BasicSecret {
public:
    using Text = std::basic_string<Char, std::char_traits<Char>, WipingAllocator<Char>>;

    BasicSecret() = default;
    BasicSecret(const Char* p_pText, std::size_t p_nLength) : m_Text(p_pText, p_nLength) {}
    BasicSecret(BasicSecret&& p_Other) noexcept : m_Text(std::move(p_Other.m_Text))
    {
        p_Other.Wipe();
    }
    BasicSecret& operator=(BasicSecret&& p_Other) noexcept
    {
        Wipe();
        m_Text = std::move(p_Other.m_Text);
        p_Other.Wipe();
        return *this;
    }
    BasicSecret(const BasicSecret&) = delete;
    BasicSecret& operator=(const BasicSecret&) = delete;
    ~BasicSecret() { Wipe(); }

    Text& Get() noexcept { return m_Text; }
    const Text& Get() const noexcept { return m_Text; }
    const Char* c_str() const noexcept { return m_Text.c_str(); }
    bool empty() const noexcept { return m_Text.empty(); }
    std::size_t size() const noexcept { return m_Text.size(); }

    bool operator==(const std::basic_string<Char>& p_strOther) const
    {
        return m_Text.compare(0, m_Text.size(), p_strOther.data(), p_strOther.size()) == 0;
    }

private:
    // The whole buffer, the part past the end included: a text that was shortened or moved
    // away keeps its old characters there.
    void Wipe() noexcept
    {
        platform::WipeMemory(&m_Text[0], (m_Text.capacity() + 1) * sizeof(Char));
        m_Text.clear();
    }

    Text m_Text;
};

using SecretText = BasicSecret<wchar_t>;
using SecretBytes = BasicSecret<char>;

}  // namespace utils
