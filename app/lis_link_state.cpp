#include "app/lis_link_state.h"

LisLinkStateValues LisLinkState;
