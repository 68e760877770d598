// The FOCAS2 return codes the client gives, from Tavrin's own list, and the
// socket code that list leaves out.
#ifndef TAVRIN_FOCAS2NET_CLIENT_CODES_H
#define TAVRIN_FOCAS2NET_CLIENT_CODES_H

#include "tavrin/nc/return_codes.h"

#ifndef EW_SOCKET
#define EW_SOCKET (-16) /* refused, closed by the peer, or no answer in time */
#endif

#endif
