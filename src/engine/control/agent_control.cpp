#include "engine/control/agent_control.h"

// The interfaces are abstract; their moc output and vtables live in this library.
