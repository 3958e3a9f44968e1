#pragma once

#include <string>

namespace platform {

// (Not named MessageBox: windows.h defines that as a macro.)
// A modal message box with an OK button (MessageBoxW); posix writes the text to standard error.
class MessageDialog {
public:
    virtual ~MessageDialog() = default;
    virtual void Show(const std::wstring& text, const std::wstring& caption) = 0;
    static MessageDialog& System();
};

}  // namespace platform
