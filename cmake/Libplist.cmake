# libplist, the independent reader and writer the tests, benchmarks and fuzz
# targets compare with. Shipped code never links it.
if(NOT TARGET PkgConfig::PLIST)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(PLIST REQUIRED IMPORTED_TARGET GLOBAL libplist-2.0)
endif()
