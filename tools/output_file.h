// Output files of the host tools: closing a file written with stdio so that
// no write error goes unnoticed, and handing a failure to a caller that may
// want its one-line message.
#ifndef LANDSCAPE_TOOLS_OUTPUT_FILE_H
#define LANDSCAPE_TOOLS_OUTPUT_FILE_H

#include <cstdio>
#include <string>

namespace landscape_tools {

// Flushes and closes `file`. Returns 0, or the errno code of the first
// failure, including an earlier write's (set errno to 0 before writing);
// EIO when the library left no code.
int closeWrittenFile(std::FILE* file);

// Sets *error, when given, to `message`; returns false, the failure result.
bool failWith(std::string* error, const std::string& message);

} // namespace landscape_tools

#endif
