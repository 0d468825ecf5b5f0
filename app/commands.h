// The editor's commands and dialogs: New Image, Open, tile sets, resize; each part has its own
// header, included here.
#pragma once

#include "app/dialogs/dialogs.h"
#include "app/startup/desktop.h"
#include "app/tilesets/tileset_commands.h"
#include "app/tools/tool_icons.h"
