#pragma once

#include <windows.h>
#include <ocidl.h>

// An enumeration of connection points that holds none: the add-on raises no events.
HRESULT CreateEmptyConnectionPointEnum(IEnumConnectionPoints** p_ppEnum);
