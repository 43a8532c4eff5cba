#pragma once

namespace kelvane::test {

// Pins the time zone (Europe/Berlin, which has summer time) and the user's
// locale (en_US) for the whole test process, and gives the process a settings
// folder of its own ($XDG_CONFIG_HOME, empty at the start and removed at
// exit), so that no remembered choice of the user or of another test leaks in.
void pinSettings();

// The folder pinSettings set as $XDG_CONFIG_HOME.
const char* testConfigHome();

} // namespace kelvane::test
