#pragma once

#include <array>
#include <cstdint>
#include <string>

// A version number of up to four numeric components, the most significant first ("2.8.1" is
// 2, 8, 1, 0). A text that does not parse leaves 0.0.0.0 and the valid flag false; comparisons
// look at the components only.
class SRVersionInfo {
public:
    explicit SRVersionInfo(const std::wstring& text);
    // The number as "%f" writes it, trailing zeros dropped: 2.8 is 2.8.0.0, 2.25 is 2.25.0.0.
    explicit SRVersionInfo(double number);
    virtual ~SRVersionInfo() = default;

    SRVersionInfo(const SRVersionInfo&) = default;
    SRVersionInfo& operator=(const SRVersionInfo&) = default;

    // Component `index` (0 to 3); 0 for any larger index.
    std::uint32_t GetPart(unsigned int index) const;
    bool IsValid() const { return m_bValid; }

    bool operator==(const SRVersionInfo& other) const;
    bool operator<(const SRVersionInfo& other) const;
    bool operator>(const SRVersionInfo& other) const;
    bool operator>=(const SRVersionInfo& other) const;

private:
    // Dot-separated decimal components, at most four; empty items between dots vanish.
    void Parse(const std::wstring& text);

    std::array<std::uint32_t, 4> m_nParts{};
    bool m_bValid = false;
};
