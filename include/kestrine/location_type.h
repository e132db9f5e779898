// Where a service record's WSDL comes from.
#ifndef KESTRINE_LOCATION_TYPE_H
#define KESTRINE_LOCATION_TYPE_H

#include <cstdint>

/// Location type of a service record's WSDL, a 32-bit signed value.
///
/// Only two values carry behaviour: `LocationNotSet` (-1) is the default of a
/// new record, and `LocationUDDI` (2) is the only value with which the UDDI
/// fields (server, version, service key) are written to and read from the
/// services file. Every other value is kept, copied, stored and returned
/// unchanged; the library never tells such values apart. `LocationFile` (0)
/// and `LocationURL` (1) are names offered for callers' convenience; any other
/// 32-bit value may be stored too (a loaded file may hold any number).
enum LocationTypesEnum : std::int32_t {
  LocationNotSet = -1,  ///< not set; the default of a new record
  LocationFile = 0,     ///< the WSDL is a file (no behaviour of its own)
  LocationURL = 1,      ///< the WSDL is fetched from an address (no behaviour of its own)
  LocationUDDI = 2,     ///< the WSDL is found through a UDDI registry
};

#endif  // KESTRINE_LOCATION_TYPE_H
