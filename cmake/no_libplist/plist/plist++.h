// Stands first on the include path of the shipped-code check
// (cmake/ShippedCode.cmake): shipped code must not use libplist.
#error "shipped code includes libplist's header"
