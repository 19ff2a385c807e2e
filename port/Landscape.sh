#!/bin/bash
# Landscape for PortMaster: finds PortMaster, lets gptokeyb turn the pad
# into the keys the program reads, and starts it in its own folder, where
# its screenshots land.

XDG_DATA_HOME=${XDG_DATA_HOME:-$HOME/.local/share}

if [ -d "/opt/system/Tools/PortMaster/" ]; then
  controlfolder="/opt/system/Tools/PortMaster"
elif [ -d "/opt/tools/PortMaster/" ]; then
  controlfolder="/opt/tools/PortMaster"
elif [ -d "$XDG_DATA_HOME/PortMaster/" ]; then
  controlfolder="$XDG_DATA_HOME/PortMaster"
else
  controlfolder="/roms/ports/PortMaster"
fi

source "$controlfolder/control.txt"
[ -f "$controlfolder/mod_$CFW_NAME.txt" ] && source "$controlfolder/mod_$CFW_NAME.txt"
get_controls

GAMEDIR="/$directory/ports/landscape"
cd "$GAMEDIR" || exit 1
> "$GAMEDIR/log.txt" && exec > >(tee "$GAMEDIR/log.txt") 2>&1

# The bundled sdl12-compat (libSDL-1.2.so.0), over the system's SDL 2.
export LD_LIBRARY_PATH="$GAMEDIR/libs.aarch64:$LD_LIBRARY_PATH"

$GPTOKEYB "landscape.aarch64" -c "./landscape.gptk" &
pm_platform_helper "$GAMEDIR/landscape.aarch64"
./landscape.aarch64

pm_finish
