#ifndef VEXA_SERVICE_COM_VERSION_H
#define VEXA_SERVICE_COM_VERSION_H

// The version of this build: the DLL's version resource (VW_Vexa.rc) takes it from here, the
// project (CMakeLists.txt) reads VEXA_VERSION_TEXT, the metrics report it.
#define VEXA_VERSION_NUMBERS 4, 0, 11, 0
#define VEXA_VERSION_TEXT "4.0.11.0"
#define VEXA_VERSION_RESOURCE_TEXT "4,0,11,0"

#ifndef RC_INVOKED
#include <string>

namespace service {

// "4.0.11.0".
inline std::wstring BuildVersion()
{
    return L"" VEXA_VERSION_TEXT;
}

}  // namespace service
#endif

#endif
