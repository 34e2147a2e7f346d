// The plan's view of the disk: file attributes and shell-link targets.
#pragma once

#include "app/uninstall/removal_plan.h"

extern const RemovalLookup DiskLookup;
