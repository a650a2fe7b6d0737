#pragma once

// Every command class, for code that builds or walks whole trees.
#include "engine/commands/AffineTranformation.h"
#include "engine/commands/ClearColorCommand.h"
#include "engine/commands/ClearCommand.h"
#include "engine/commands/Command.h"
#include "engine/commands/DrawBlurredCommand.h"
#include "engine/commands/DrawMeshCommand.h"
#include "engine/commands/DrawMeshState.h"
#include "engine/commands/GroupCommand.h"
#include "engine/commands/Hint.h"
#include "engine/commands/RenderPassCommand.h"
#include "engine/commands/VignetteCommand.h"
