#!/bin/bash
# Landscape for PortMaster, after its packaging guide's basic launcher. The
# program keeps no settings (its screenshots land in its folder), so the
# guide's conf folder, XDG_DATA_HOME and bind_directories are left out.

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

[ -f "${controlfolder}/mod_${CFW_NAME}.txt" ] && source "${controlfolder}/mod_${CFW_NAME}.txt"

get_controls

GAMEDIR="/$directory/ports/landscape"

cd "$GAMEDIR"

> "$GAMEDIR/log.txt" && exec > >(tee "$GAMEDIR/log.txt") 2>&1

export LD_LIBRARY_PATH="$GAMEDIR/libs.${DEVICE_ARCH}:$LD_LIBRARY_PATH"
export SDL_GAMECONTROLLERCONFIG="$sdl_controllerconfig"

# One map for every pad: it uses the d-pad and the left stick only, so
# devices with no stick or one need no map of their own ($ANALOGSTICKS).
$GPTOKEYB "landscape.${DEVICE_ARCH}" -c "./landscape.gptk" &
pm_platform_helper "$GAMEDIR/landscape.${DEVICE_ARCH}"
./landscape.${DEVICE_ARCH}
# When it cannot start (SDL, or a display it cannot use) the program prints
# one line into log.txt and ends with status 1 or 2: the player is told so
# instead of being dropped back into the menu without a word.
status=$?
case $status in 1 | 2) pm_message "Landscape could not start (status $status): see ports/landscape/log.txt" ;; esac

pm_finish
