#pragma once

#include <cwchar>
#include <locale>

namespace dbg {

// The log file's 8-bit conversion: cp1252, one byte a character, on every platform, as a reader
// on Windows takes a file without byte-order mark (the ANSI code page of the machines, and of
// posix), so text that came in through that code page (sensor names, settings, paths) is written
// back as it came. A character cp1252 cannot hold becomes '?' instead of failing the conversion,
// which would put the file stream into its failed state and silence the log for the rest of the
// run.
class ByteConversion : public std::codecvt<wchar_t, char, std::mbstate_t> {
public:
    explicit ByteConversion(std::size_t refs = 0)
        : std::codecvt<wchar_t, char, std::mbstate_t>(refs)
    {
    }

protected:
    result do_out(state_type& state, const intern_type* from, const intern_type* fromEnd,
                  const intern_type*& fromNext, extern_type* to, extern_type* toEnd,
                  extern_type*& toNext) const override;
    result do_in(state_type& state, const extern_type* from, const extern_type* fromEnd,
                 const extern_type*& fromNext, intern_type* to, intern_type* toEnd,
                 intern_type*& toNext) const override;
    result do_unshift(state_type& state, extern_type* to, extern_type* toEnd,
                      extern_type*& toNext) const override;
    int do_encoding() const noexcept override { return 1; }
    bool do_always_noconv() const noexcept override { return false; }
    int do_length(state_type& state, const extern_type* from, const extern_type* fromEnd,
                  std::size_t max) const override;
    int do_max_length() const noexcept override { return 1; }
};

}  // namespace dbg
