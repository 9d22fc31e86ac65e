// What assistive technology reads of a drop-down list: on Linux, Qt names a list by its
// current item and leaves its label to a relation, so a screen reader says "port 220" where
// it should say "Sound card port number". A list marked below keeps its accessible name; its
// current item is its value.
#pragma once

namespace kov {

// Lists that carry this property, set before anything can ask for their interface, are read
// by their accessible name; other lists keep Qt's own interface.
inline constexpr const char* kNamedListProperty = "namedList";

// Idempotent.
void InstallNamedListAccessibility();

}  // namespace kov
