#include "platform/message_dialog.h"

#include <windows.h>

namespace platform {
namespace {

class Win32MessageDialog final : public MessageDialog {
public:
    void Show(const std::wstring& text, const std::wstring& caption) override
    {
        MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK);
    }
};

}  // namespace

MessageDialog& MessageDialog::System()
{
    static Win32MessageDialog s_dialog;
    return s_dialog;
}

}  // namespace platform
