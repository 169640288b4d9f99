#include "core/lis_link_state.h"

LisLinkStateValues LisLinkState;
