// The whole public API of Kestrine.
#ifndef KESTRINE_KESTRINE_H
#define KESTRINE_KESTRINE_H

#include "kestrine/advanced_settings.h"
#include "kestrine/check.h"
#include "kestrine/export.h"
#include "kestrine/fields.h"
#include "kestrine/iso_time.h"
#include "kestrine/load_report.h"
#include "kestrine/location_type.h"
#include "kestrine/locations.h"
#include "kestrine/proxy_settings.h"
#include "kestrine/save_error.h"
#include "kestrine/script_lock.h"
#include "kestrine/script_tree.h"
#include "kestrine/security_settings.h"
#include "kestrine/service.h"
#include "kestrine/service_repository.h"
#include "kestrine/service_repository_light.h"
#include "kestrine/shown_text.h"
#include "kestrine/status.h"
#include "kestrine/str_sub.h"
#include "kestrine/version.h"

#endif  // KESTRINE_KESTRINE_H
