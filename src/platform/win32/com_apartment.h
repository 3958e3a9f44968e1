#pragma once

#include <windows.h>
#include <objbase.h>

namespace platform::win32 {

// Keeps the calling thread in COM's multithreaded apartment while it lives: CoInitializeEx when
// made, CoUninitialize when it goes, if the first succeeded. Result tells whether COM is usable on
// the thread. Made and destroyed on the same thread, after every COM pointer of that thread is
// gone, so it is declared before them.
class ComApartment {
public:
    ComApartment() noexcept : m_hr(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(m_hr)) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    HRESULT Result() const noexcept { return m_hr; }

private:
    HRESULT m_hr;
};

}  // namespace platform::win32
