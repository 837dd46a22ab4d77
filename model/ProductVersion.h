#pragma once

namespace kelvo
{

/** The product's version: what the about panel shows, what the settings file records first, and
    what hosts are told (the build reads it from this line). */
inline constexpr const char* productVersion = "2.2.0";

} // namespace kelvo
