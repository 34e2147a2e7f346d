// The plan's view of the disk: file attributes, shell-link targets, and
// folders' identities and real paths.
#pragma once

#include "uninstall/removal_plan.h"

extern const RemovalLookup DiskLookup;
