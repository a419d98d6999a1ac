// The version record, kept in a section of its own so that it can be read from
// the file without running it: readelf -p .orvane_version Orvane
// Both executables compile this file themselves (nothing references the array,
// so from a static library the linker would leave it out).

#ifndef ORVANE_VERSION
#error "ORVANE_VERSION must come from the build"
#endif

namespace {

[[gnu::section(".orvane_version"), gnu::used]] constexpr char kVersionRecord[] =
    "ProductName=Orvane\0"
    "InternalName=Orvane\0"
    "FileVersion=" ORVANE_VERSION "\0"
    "ProductVersion=" ORVANE_VERSION;

} // namespace
