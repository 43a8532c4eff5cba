#pragma once

namespace kelvane::cli {

// Puts standard output (stdout, as printf and fwrite use it) behind a stream
// that remembers why its first write failed, so that a full disk or a closed
// pipe is reported once at the end, whatever the write that met it.
void watchStandardOutput();

// Flushes standard output; 0 when everything written reached it, else the
// errno of the first write that failed.
int standardOutputError();

} // namespace kelvane::cli
