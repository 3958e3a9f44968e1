#include "platform/message_dialog.h"

#include <cstdio>

#include "platform/posix/native_path_posix.h"

namespace platform {
namespace {

// Without a desktop the message goes to standard error as one line, caption first.
class PosixMessageDialog final : public MessageDialog {
public:
    void Show(const std::wstring& text, const std::wstring& caption) override
    {
        std::wstring line = caption.empty() ? text : caption + L": " + text;
        for (wchar_t& c : line) {
            if (c == L'\r' || c == L'\n') {
                c = L' ';
            }
        }
        const std::string bytes = posix::ToNative(line) + "\n";
        std::fwrite(bytes.data(), 1, bytes.size(), stderr);
        std::fflush(stderr);
    }
};

}  // namespace

MessageDialog& MessageDialog::System()
{
    static PosixMessageDialog s_dialog;
    return s_dialog;
}

}  // namespace platform
