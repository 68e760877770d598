// Tavrin: support library for the operator-panel applications of CNC lathes
// and turning centres.  This header includes every public header.
#ifndef TAVRIN_TAVRIN_H
#define TAVRIN_TAVRIN_H

#include "tavrin/export.h"
#include "tavrin/wintypes.h"
#include "tavrin/message.h"
#include "tavrin/app.h"
#include "tavrin/nc/return_codes.h"
#include "tavrin/nc/handles.h"
#include "tavrin/nc/cnc_params.h"
#include "tavrin/nc/pmc.h"
#include "tavrin/nc/macro_vars.h"
#include "tavrin/nc/tool_offsets.h"
#include "tavrin/nc/error_report.h"
#include "tavrin/util/numeric.h"
#include "tavrin/util/files.h"
#include "tavrin/util/strings.h"
#include "tavrin/util/system.h"
#include "tavrin/util/language.h"
#include "tavrin/util/log.h"
#include "tavrin/machine/mchn.h"
#include "tavrin/simulation/xml.h"
#include "tavrin/simulation/chuck_model.h"
#include "tavrin/simulation/jaw_model.h"
#include "tavrin/simulation/work_model.h"
#include "tavrin/simulation/simu_module.h"
#include "tavrin/machine/mchn_struct_model.h"
#include "tavrin/serial/com_port.h"
#include "tavrin/display/gdi_types.h"
#include "tavrin/display/gdi.h"
#include "tavrin/display/back_draw.h"
#include "tavrin/display/bmp.h"
#include "tavrin/display/font.h"
#include "tavrin/display/resources.h"
#include "tavrin/display/cairo_dc.h"

#endif
