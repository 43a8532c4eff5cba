#pragma once

namespace kelvane::test {

// Pins the time zone (Europe/Berlin, which has summer time) and the user's
// locale (en_US) for the whole test process.
void pinSettings();

} // namespace kelvane::test
