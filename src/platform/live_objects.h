// The drawing objects (device contexts, bitmaps, fonts) that the graphics
// layer has made and not yet released, kept by handle for both backends: a
// handle is used only while it is live, a deletion of one that is not is
// refused and counted, and CurrentGraphicsCounts (graphics.h) reads them.
#ifndef TAVRIN_PLATFORM_LIVE_OBJECTS_H
#define TAVRIN_PLATFORM_LIVE_OBJECTS_H

namespace tavrin::platform::live {

enum class Kind { kDc, kBitmap, kFont };

// Notes a new handle (a null one is ignored) and returns it.
const void* Add(const void* handle, Kind kind);
// Forgets a handle; false when it was not live.
bool Remove(const void* handle);
// True when the handle is live (as `kind`).
bool Is(const void* handle);
bool Is(const void* handle, Kind kind);
// Counts a deletion refused for a handle that was not live.
void NoteRefusedDeletion();

}  // namespace tavrin::platform::live

#endif
