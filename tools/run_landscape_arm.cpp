// Starts the ARM build of the program under qemu-arm, with Debian's armel
// runtime and SDL from the sysroot beside it. tools/check-arm.sh copies this
// launcher to build-arm/run-landscape, next to build-arm/landscape and
// build-arm/sysroot. Arguments and the environment are passed through.
//
// LD_PRELOAD names ARM libraries for the program, so it is handed to the
// program's loader (qemu-arm -E) instead of qemu-arm's own. The launcher is
// linked statically and ignores LD_PRELOAD itself; a shell script here would
// have the host's loader report every preloaded ARM library as unloadable.
//
// An ARM946 is emulated: the closest to the console's ARM920T (ARMv4T) that
// Debian's ARMv5TE runtime starts on.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

int main(int argc, char** argv)
{
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof self)) {
        std::fprintf(stderr, "run-landscape: cannot find where it lies\n");
        return 127;
    }
    std::string dir(self, static_cast<std::size_t>(length));
    dir.erase(dir.rfind('/'));
    const std::string sysroot = dir + "/sysroot";
    const std::string program = dir + "/landscape";
    std::string preload = "LD_PRELOAD=";

    std::vector<const char*> args = {"qemu-arm", "-cpu", "arm946", "-L", sysroot.c_str()};
    if (const char* libraries = std::getenv("LD_PRELOAD")) {
        preload += libraries;
        unsetenv("LD_PRELOAD");
        args.push_back("-E");
        args.push_back(preload.c_str());
    }
    args.push_back(program.c_str());
    args.insert(args.end(), argv + 1, argv + argc);
    args.push_back(nullptr);
    execvp(args[0], const_cast<char* const*>(args.data()));
    std::fprintf(stderr, "run-landscape: cannot start qemu-arm: %s\n", std::strerror(errno));
    return 127;
}
