// The add-in's view of the CAD host: every host interface in one include.
//
// Conventions shared by all of them:
// - Every method returns an HRESULT and hands results through out-parameters,
//   which it sets even on failure (null, 0 or VARIANT_FALSE).
// - An out BSTR, SAFEARRAY or VARIANT is allocated by the host and belongs to
//   the receiver, who frees it; in-parameters stay the sender's.
// - An out interface reference belongs to the receiver, who releases it.
// - A null object (with S_OK) ends a walk: no next feature, no more
//   documents, no parent, nothing selected.
// - Booleans are VARIANT_BOOL: true -1, false 0; lists that one call fills are
//   one-dimensional SAFEARRAYs with lower bound 0.
#pragma once

#include "host/host_application.h"
#include "host/host_commands.h"
#include "host/host_component.h"
#include "host/host_configuration.h"
#include "host/host_dimension.h"
#include "host/host_equations.h"
#include "host/host_feature.h"
#include "host/host_frame.h"
#include "host/host_ids.h"
#include "host/host_model_doc.h"
#include "host/host_properties.h"
#include "host/host_selection.h"
