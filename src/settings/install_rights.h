#pragma once

// Logs (level 0) each part of the installation that every user of the machine could change or
// read, so that the rights can be put right: the folder of the add-on's module ("writable by all
// users: <folder>"), where a DLL of theirs would be loaded; the add-on's own settings file beside
// it; and the credentials file Computer.xml ("readable by all users: <path>"), which holds the
// administrator's password. Parts that do not exist are passed over. Never throws.
void WarnOfOpenInstall() noexcept;
