// Which machine this build is for. The build defines LANDSCAPE_GP2X for the
// handheld (cmake/gp2x.cmake); everything else is a desktop build.
#ifndef LANDSCAPE_HW_PLATFORM_H
#define LANDSCAPE_HW_PLATFORM_H

#ifdef LANDSCAPE_GP2X
constexpr bool gp2xBuild = true;
#else
constexpr bool gp2xBuild = false;
#endif

#endif
