#pragma once

#include <windows.h>
#include <unknwn.h>

// Hands out the class factory of CVW_ZorbelObj.
HRESULT GetZorbelClassFactory(REFIID p_riid, void** p_ppv);
