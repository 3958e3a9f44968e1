#pragma once

#include <string>

// The add-on's own settings file for a module path: the path upper-cased, every ".EXE" and
// then every ".DLL" replaced by ".INI".
std::wstring ModuleIniPathOf(const std::wstring& modulePath);
