#pragma once
// The unit of lengths on screen that the services and the layouts speak.

namespace quillory {

// Lengths on screen are in twips, 1/1440 inch: 15 to a pixel at 96 dots per inch.
constexpr double kTwipsPerPixel = 15.0;

} // namespace quillory
