#include "output_file.h"

#include <cerrno>

namespace landscape_tools {

namespace {

int lastError()
{
    return errno != 0 ? errno : EIO;
}

} // namespace

int closeWrittenFile(std::FILE* file)
{
    int code = 0;
    // A short write sets the stream's error indicator.
    if (std::fflush(file) != 0 || std::ferror(file) != 0) {
        code = lastError();
    }
    if (std::fclose(file) != 0 && code == 0) {
        code = lastError();
    }
    return code;
}

bool failWith(std::string* error, const std::string& message)
{
    if (error != nullptr) {
        *error = message;
    }
    return false;
}

} // namespace landscape_tools
