// Operations of the editor's spine, document view, settings and painting, called by the
// dispatch table and by the dialogs and commands: each part has its own header, included here.
#pragma once

#include "app/dialogs/dialogs.h"
#include "app/document/document_commands.h"
#include "app/startup/settings.h"
#include "app/startup/startup.h"
#include "app/tools/painting.h"
#include "app/view/view.h"
