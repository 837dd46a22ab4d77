#pragma once

#include <juce_core/juce_core.h>

namespace kelvo
{

/** Program categories: byte 117 of a record, 0..25. */
namespace category
{
constexpr int count = 26;
constexpr int notAssigned = 0;
} // namespace category

/** The name of a category ("- Not Assigned -" .. "Arpeggiator"); empty for any other number. */
juce::String categoryName (int number);

} // namespace kelvo
