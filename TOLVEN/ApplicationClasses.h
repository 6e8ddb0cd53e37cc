#pragma once

namespace tolven {

// Registers the application's scene delegate and screens under the class
// names that the main storyboard and the scene manifest use.
void registerApplicationClasses();

} // namespace tolven
